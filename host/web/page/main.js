// The page: the machine, its picture, keyboard, sound, files and controls.
import { loadMachine } from "./machine.js";
import { createKeyboard } from "./keys.js";
import { createSound } from "./audio.js";
import { download, toBase64Url, fromBase64Url, fileExtension, stored } from "./files.js";

const FrameMs = 20; // 50 frames a second at 100 %
const MaxFramesPerCall = 50;
const FreeRunBudgetMs = 12; // time per animation frame when running without limit
const $ = (id) => document.getElementById(id);

const canvas = $("screen");
const context2d = canvas.getContext("2d", { alpha: false });

const machine = await loadMachine();
const keyboard = createKeyboard(machine, () => state.framesRun);
const sound = createSound(machine);

const state = {
  speed: 100, // percent; 0 runs without limit
  paused: false,
  owedMs: 0, // emulated time owed to the clock
  lastTick: performance.now(),
  framesRun: 0,
  speedWindow: { start: performance.now(), frames: 0 },
  load: { start: performance.now(), busy: 0, frames: 0 },
  recording: false,
  message: "",
  looping: false,
  fastTape: false,
};

// Picture ---------------------------------------------------------------

function draw() {
  const image = machine.pictureImage();
  if (canvas.width !== image.width) {
    canvas.width = image.width;
    canvas.height = image.height;
    fitCanvas();
  }
  context2d.putImageData(image, 0, 0);
}

// 4:3 at the largest whole multiple of 240 lines that fits, nearest-neighbour;
// a window too small for twice the size (a phone) gets the largest size that fits.
function fitCanvas() {
  const area = $("screen-area");
  const width = area.clientWidth;
  const height = area.clientHeight;
  let scale = Math.floor(Math.min(height / 240, width / 320));
  if (scale < 2) scale = Math.min(height / 240, width / 320);
  canvas.style.width = `${Math.floor(320 * scale)}px`;
  canvas.style.height = `${Math.floor(240 * scale)}px`;
}
window.addEventListener("resize", fitCanvas);

// Running by the clock ---------------------------------------------------

function runFrames(n) {
  machine.runFrames(n);
  state.framesRun += n;
  state.speedWindow.frames += n;
}

// Fast tape (on unless the user turns it off): while the tape moves, playing
// or recording, the machine runs without limit with the sound muted; the
// bytes on the tape are the same, as emulated time is.
function fastTape() {
  const fast = machine.followFastTape($("fast-tape").checked);
  if (fast !== state.fastTape) {
    state.fastTape = fast;
    state.owedMs = 0;
    showMessage(machine.message());
  }
  return fast;
}

function tick(now) {
  const busyFrom = performance.now();
  const elapsed = Math.min(now - state.lastTick, 250); // a long stall is not caught up
  state.lastTick = now;
  let ran = 0;
  if (!state.paused) {
    // Frames one at a time while key changes wait for theirs.
    const batchOf = (n) => (keyboard.pending ? 1 : Math.min(n, MaxFramesPerCall));
    const fast = fastTape();
    if (state.speed === 0 || fast) {
      state.owedMs = 0;
      const until = performance.now() + FreeRunBudgetMs;
      do {
        const batch = batchOf(10);
        runFrames(batch);
        keyboard.service();
        ran += batch;
      } while (performance.now() < until);
    } else {
      state.owedMs += (elapsed * state.speed) / 100;
      let n = Math.floor(state.owedMs / FrameMs);
      state.owedMs -= n * FrameMs;
      while (n > 0) {
        const batch = batchOf(n);
        runFrames(batch);
        keyboard.service();
        ran += batch;
        n -= batch;
      }
    }
  }
  if (ran && machine.pictureChanged()) draw();
  sound.pump();
  finishRecording();
  updateStatus(now);
  state.load.busy += performance.now() - busyFrom;
  // A paused machine needs no animation frames; resuming asks for them again.
  if (state.paused) state.looping = false;
  else requestAnimationFrame(tick);
}

function startLoop() {
  if (state.looping) return;
  state.looping = true;
  requestAnimationFrame((now) => {
    state.lastTick = now;
    requestAnimationFrame(tick);
  });
}

// Status line --------------------------------------------------------------

let lastStatusChanges = -1;
function updateStatus(now) {
  const w = state.speedWindow;
  if (now - w.start >= 1000) {
    const percent = Math.round((w.frames * FrameMs * 100) / (now - w.start));
    $("status-speed").textContent = state.paused ? "Paused" : `${percent} %`;
    w.start = now;
    w.frames = 0;
  }
  const changes = machine.statusChanges();
  if (changes !== lastStatusChanges) {
    lastStatusChanges = changes;
    $("status-tape").textContent = machine.statusField(2);
    const message = machine.statusField(3);
    if (message) showMessage(message);
  }
}

function showMessage(text) {
  state.message = text;
  $("status-message").textContent = text;
}

// Keyboard, paste and the on-screen keys ---------------------------------

function typingTarget(event) {
  const t = event.target;
  return !(t instanceof HTMLInputElement || t instanceof HTMLSelectElement || (t instanceof HTMLTextAreaElement && t.id !== "touch-input"));
}

document.addEventListener("keydown", (event) => {
  startSound();
  if (!typingTarget(event)) return;
  if (event.code === "F1") {
    event.preventDefault();
    reset(false);
    return;
  }
  if ((event.ctrlKey || event.metaKey) && event.code === "KeyV" && !keyboard.positional) return; // paste event follows
  if (keyboard.down(event)) event.preventDefault();
});
document.addEventListener("keyup", (event) => {
  if (keyboard.up(event)) event.preventDefault();
});
window.addEventListener("blur", () => keyboard.releaseAll());

function typeHostText(text) {
  keyboard.type(text.normalize("NFC"));
  const note = machine.droppedNote(text.normalize("NFC"));
  if (note) showMessage(note);
}

document.addEventListener("paste", (event) => {
  if (!typingTarget(event)) return;
  const text = event.clipboardData ? event.clipboardData.getData("text/plain") : "";
  if (text) {
    event.preventDefault();
    typeHostText(text);
  }
});

$("paste").addEventListener("click", async () => {
  try {
    typeHostText(await navigator.clipboard.readText());
  } catch {
    showMessage("The browser did not give the clipboard; press Ctrl+V instead.");
  }
  canvas.focus();
});

const sticky = new Set();
for (const button of document.querySelectorAll("#special-keys button")) {
  button.addEventListener("pointerdown", (event) => event.preventDefault()); // keep the focus on the screen
  button.addEventListener("click", () => {
    startSound();
    const vk = Number(button.dataset.vk || 0);
    if (button.dataset.sticky) {
      const key = Number(button.dataset.sticky);
      const on = !sticky.has(key);
      if (on) {
        sticky.add(key);
        machine.keyDown(key);
      } else {
        sticky.delete(key);
        machine.keyUp(key);
      }
      button.setAttribute("aria-pressed", String(on));
    } else if (button.dataset.chord) {
      pressKeys(button.dataset.chord.split(",").map(Number));
    } else if (button.dataset.text) {
      typeHostText(button.dataset.text);
    } else if (vk) {
      pressKeys([vk]);
    }
  });
}

const pressKeys = (vks) => keyboard.tap(vks);

// Touch devices: a hidden text field brings up the system keyboard; what it
// receives is typed into the machine.
const touchInput = $("touch-input");
$("touch-keyboard").addEventListener("click", () => touchInput.focus());
touchInput.addEventListener("input", (event) => {
  if (event.inputType === "deleteContentBackward") pressKeys([8]);
  else if (event.inputType === "insertLineBreak") pressKeys([13]);
  else if (event.data) typeHostText(event.data);
  touchInput.value = "";
});
touchInput.addEventListener("keydown", (event) => {
  if (event.key === "Enter") {
    event.preventDefault();
    pressKeys([13]);
  }
});

$("key-mode").addEventListener("change", (event) => {
  keyboard.positional = event.target.value === "positional";
  canvas.focus();
});

// Sound -------------------------------------------------------------------

function startSound() {
  if (!sound.started) sound.start().catch((error) => console.log("sound:", error));
}
document.addEventListener("pointerdown", startSound);

$("mute").addEventListener("click", () => {
  startSound();
  sound.muted = !sound.muted;
  $("mute").setAttribute("aria-pressed", String(sound.muted));
  $("mute").textContent = sound.muted ? "Unmute" : "Mute";
});

// Speed, pause and reset --------------------------------------------------

$("speed").addEventListener("change", (event) => {
  state.speed = Number(event.target.value);
  state.owedMs = 0;
  canvas.focus();
});

function setPaused(paused) {
  state.paused = paused;
  state.owedMs = 0;
  sound.pause(paused);
  $("pause").setAttribute("aria-pressed", String(paused));
  $("pause").textContent = paused ? "Resume" : "Pause";
  $("status-speed").textContent = paused ? "Paused" : "–";
  if (!paused) startLoop();
}
$("pause").addEventListener("click", () => setPaused(!state.paused));

function reset(hard) {
  keyboard.releaseAll();
  if (hard) machine.hardReset();
  else machine.reset();
  showMessage(hard ? "Hard reset." : "Reset.");
  canvas.focus();
}
$("reset").addEventListener("click", () => reset(false));
$("hard-reset").addEventListener("click", () => reset(true));

document.addEventListener("visibilitychange", () => {
  state.lastTick = performance.now();
  if (!state.paused) sound.pause(document.hidden);
});

// Files -------------------------------------------------------------------

const Loadable = ["atp", "bac", "bas", "wav"];
const StateExtension = "ost";
const DiskExtensions = ["dsk", "img"];
const Drives = 4;

async function loadFile(file, autostart) {
  const ext = fileExtension(file.name);
  if (ext === StateExtension && machine.hasStates) {
    restoreState(new Uint8Array(await file.arrayBuffer()), file.name);
    return true;
  }
  if (DiskExtensions.includes(ext)) {
    attachDisk(file.name, new Uint8Array(await file.arrayBuffer()));
    return true;
  }
  if (!Loadable.includes(ext)) {
    showMessage(`${file.name} is not an .atp, .bac, .bas, .wav, .dsk or .img file.`);
    return false;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  return loadBytes(file.name, bytes, autostart);
}

function loadBytes(name, bytes, autostart) {
  keyboard.releaseAll();
  const ok = machine.loadFile(name, bytes, autostart);
  showMessage(machine.message());
  canvas.focus();
  return ok;
}

$("open").addEventListener("click", () => $("file-input").click());
$("file-input").addEventListener("change", async (event) => {
  const file = event.target.files[0];
  event.target.value = "";
  if (file) await loadFile(file, $("autostart").checked);
});

const area = $("screen-area");
area.addEventListener("dragover", (event) => {
  event.preventDefault();
  area.classList.add("dragging");
  $("drop-hint").hidden = false;
});
area.addEventListener("dragleave", () => {
  area.classList.remove("dragging");
  $("drop-hint").hidden = true;
});
area.addEventListener("drop", async (event) => {
  event.preventDefault();
  area.classList.remove("dragging");
  $("drop-hint").hidden = true;
  const file = event.dataTransfer.files[0];
  if (file) await loadFile(file, true);
});

$("save-bac").addEventListener("click", () => {
  const bytes = machine.saveBac();
  if (!bytes) {
    const cause = machine.mediaError();
    showMessage(`The program could not be saved${cause ? ": " + cause : ""}.`);
    return;
  }
  download("program.bac", bytes);
  showMessage("File saved: program.bac.");
});

$("record-tape").addEventListener("click", () => {
  if (state.recording) {
    finishRecording(true);
    return;
  }
  if (!machine.startTapeRecording()) {
    showMessage("The tape recording could not be started.");
    return;
  }
  state.recording = true;
  $("record-tape").setAttribute("aria-pressed", "true");
  $("record-tape").textContent = "Stop recording";
  showMessage("Recording the tape: type SAVE CAS: to record a program.");
  canvas.focus();
});

// A recording ends when the machine stops the motor, or by the button.
function finishRecording(byButton = false) {
  if (!state.recording || (!byButton && machine.tapeRecording())) return;
  state.recording = false;
  $("record-tape").setAttribute("aria-pressed", "false");
  $("record-tape").textContent = "Record tape";
  const bytes = machine.stopTapeRecording();
  if (bytes && bytes.length > 44) {
    download("recording.wav", bytes, "audio/wav");
    showMessage(`Tape recording saved: recording.wav (${Math.round(bytes.length / 1024)} kB).`);
  } else {
    showMessage("The tape recording is empty.");
  }
}

$("screenshot").addEventListener("click", () => {
  canvas.toBlob((blob) => {
    download("screenshot.png", blob);
    showMessage("Screenshot saved: screenshot.png.");
  }, "image/png");
});

// Disk images go to the first empty drive (DR0 when all are in use); the
// status line names them, and Save disks downloads them as the machine has
// written them.
function attachDisk(name, bytes) {
  machine.attachDisk(machine.freeDrive(), name, bytes);
  showMessage(machine.message());
  showDisks();
  canvas.focus();
}

function showDisks() {
  const names = [];
  for (let d = 0; d < Drives; d++) if (machine.diskName(d)) names.push(`DR${d}: ${machine.diskName(d)}`);
  $("status-disks").textContent = names.join("  ");
  $("save-disks").hidden = names.length === 0;
}

$("save-disks").addEventListener("click", () => {
  for (let d = 0; d < Drives; d++) {
    const bytes = machine.diskImage(d);
    if (bytes) download(machine.diskName(d), bytes);
  }
  showMessage("Disk images saved.");
});

// Save states: one kept in the browser's IndexedDB, any number as downloads.
const KeptStateKey = "state";

function restoreState(bytes, from) {
  keyboard.releaseAll();
  const result = machine.loadState(bytes);
  if (!result.ok) showMessage(`The state in ${from} was not loaded: ${result.message}`);
  else showMessage(result.message ? `State loaded from ${from}; ${result.message}` : `State loaded from ${from}.`);
  draw();
  showDisks();
  canvas.focus();
  return result.ok;
}

if (machine.hasStates) {
  $("state-group").hidden = false;
  $("file-input").accept += ",.ost";
  $("save-state").addEventListener("click", async () => {
    const bytes = machine.saveState();
    try {
      await stored.put(KeptStateKey, bytes);
      showMessage(`State kept in this browser (${Math.round(bytes.length / 1024)} kB).`);
    } catch {
      showMessage("The browser did not keep the state; use Download state.");
    }
    canvas.focus();
  });
  $("load-state").addEventListener("click", async () => {
    let bytes = null;
    try {
      bytes = await stored.get(KeptStateKey);
    } catch {}
    if (!bytes) showMessage("No state is kept in this browser.");
    else restoreState(bytes, "this browser");
  });
  $("download-state").addEventListener("click", () => {
    download("orvane.ost", machine.saveState());
    showMessage("State saved: orvane.ost.");
  });
}

// Program links: #bas= and the base64url of a BAS file (text, or BAC bytes).
function programLink() {
  const bytes = machine.saveBac();
  if (!bytes) return null;
  const url = new URL(location.href);
  url.hash = "bas=" + toBase64Url(bytes);
  return url.href;
}

$("share").addEventListener("click", async () => {
  const link = programLink();
  if (!link) {
    showMessage("No program to share.");
    return;
  }
  history.replaceState(null, "", link);
  try {
    await navigator.clipboard.writeText(link);
    showMessage(`Link copied (${link.length} characters).`);
  } catch {
    showMessage("The link is in the address bar.");
  }
});

function startFromLink() {
  const match = /^#bas=(.*)$/.exec(location.hash);
  if (!match) return;
  const bytes = fromBase64Url(match[1]);
  if (!bytes || !bytes.length) {
    showMessage("The program in the link is not readable.");
    return;
  }
  if (bytes[0] === 0x82) {
    loadBytes("link.bas", bytes, true);
    return;
  }
  // Program text: typed as pasted text is, then run.
  machine.reset();
  machine.runFrames(50);
  let text = new TextDecoder().decode(bytes);
  if (!/[\r\n]$/.test(text)) text += "\n";
  typeHostText(text + "RUN\n");
}

// A link opened in a tab that shows the page already changes only the hash.
window.addEventListener("hashchange", startFromLink);

// ROM images from the user's disk stay in the browser.
$("rom").addEventListener("click", () => $("rom-input").click());
$("rom-input").addEventListener("change", async (event) => {
  const file = event.target.files[0];
  event.target.value = "";
  if (!file) return;
  const bytes = new Uint8Array(await file.arrayBuffer());
  machine.installRom(file.name, bytes);
  showMessage(machine.romDescription());
  if (confirm(`Keep ${file.name} in this browser for the next visits? It is never uploaded.`)) {
    try {
      await stored.put("rom:" + file.name, bytes);
      showMessage(`${file.name} is kept in this browser. ${machine.romDescription()}`);
    } catch {
      showMessage("The browser did not keep the ROM.");
    }
  }
});

async function installKeptRoms() {
  try {
    for (const key of await stored.keys())
      if (String(key).startsWith("rom:")) machine.installRom(String(key).slice(4), await stored.get(key));
  } catch {
    // No storage (private window): the built-in firmware runs.
  }
}

// Start ---------------------------------------------------------------------

if ("serviceWorker" in navigator && location.protocol !== "file:")
  navigator.serviceWorker.register("sw.js").catch((error) => console.log("service worker:", error));

await installKeptRoms();
fitCanvas();
machine.runFrames(50);
showMessage(machine.romDescription());
startFromLink();
draw();
canvas.focus();
startLoop();

// For tests and the curious: the machine and a benchmark.
window.orvane = {
  machine,
  sound,
  keyboard,
  loadBytes,
  typeHostText,
  programLink,
  restoreState,
  // True while keys or text wait to reach the machine.
  busy: () => keyboard.pending || machine.typing(),
  setPaused,
  // Emulated frames a second, best of several one-second runs: the core
  // rendering its picture after every frame, and the same with the picture
  // also converted and put on the canvas after every frame.
  benchmark(runs = 3) {
    const wasPaused = state.paused;
    state.paused = true;
    const rate = (frame) => {
      let best = 0;
      for (let r = 0; r < runs; r++) {
        const start = performance.now();
        let frames = 0;
        while (performance.now() - start < 1000) {
          frame();
          frames++;
        }
        best = Math.max(best, (frames * 1000) / (performance.now() - start));
      }
      return best;
    };
    const core = rate(() => machine.runFrames(1));
    const canvasToo = rate(() => {
      machine.runFrames(1);
      draw();
    });
    state.paused = wasPaused;
    state.lastTick = performance.now();
    if (!wasPaused) startLoop();
    return { core, canvas: canvasToo, coreTimesRealTime: core / 50, canvasTimesRealTime: canvasToo / 50 };
  },
  // Share of the wall-clock time the page spent in its frame work since the last call.
  load() {
    const now = performance.now();
    const result = { busyMs: state.load.busy, wallMs: now - state.load.start, frames: state.framesRun - state.load.frames };
    state.load = { start: now, busy: 0, frames: state.framesRun };
    return result;
  },
  ready: true,
};
document.documentElement.dataset.ready = "true";
