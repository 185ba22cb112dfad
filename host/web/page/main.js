// The page: the machine, its picture, keyboard, sound, files and controls.
import { startLanguage, chooseLanguage, languageChoice, untranslated } from "./language.js";
import { loadMachine } from "./machine.js";
import { createKeyboard } from "./keys.js";
import { createSound } from "./audio.js";
import { download, toBase64Url, fromBase64Url, fileExtension, stored, deflate, inflate } from "./files.js";
import { createOnScreenKeys } from "./onscreen.js";
import { createDrives } from "./drives.js";
import { fillKeyboardMap } from "./help.js";

const FrameMs = 20; // 50 frames a second at 100 %
const MaxFramesPerCall = 50;
const FreeRunBudgetMs = 12; // time per animation frame when running without limit
const $ = (id) => document.getElementById(id);

// English or Swedish from the first text shown; see language.js.
startLanguage(document.body);
$("language").value = languageChoice();
$("language").addEventListener("change", (event) => chooseLanguage(event.target.value));

const canvas = $("screen");
const context2d = canvas.getContext("2d", { alpha: false });

// Settings kept across visits: speed, keyboard mode, mute, fast tape,
// timing mode and the BASIC and DOS choices.
const SettingsKey = "orvane.settings";
const settings = (() => {
  try {
    return JSON.parse(localStorage.getItem(SettingsKey)) || {};
  } catch {
    return {};
  }
})();
function remember(name, value) {
  settings[name] = value;
  try {
    localStorage.setItem(SettingsKey, JSON.stringify(settings));
  } catch {
    // No storage (a private window): the settings last for this visit.
  }
}

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
  typingFast: null, // { total } while a link's or a dropped program's text is typed at full speed
  runAfterTape: null, // { motorSeen } after a dropped tape: RUN once LOAD CAS: has read it
  rewinding: null, // "key" or "button" while the last seconds play backwards
  rewindDueMs: 0, // when the next snapshot is shown
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

// The picture at 4:3 with every machine pixel a whole number of device
// pixels: lines sy device pixels tall, machine pixels sx wide, sx/sy as near
// to 4:3 (2:3 in the 80-column layout) as whole numbers come, and the
// largest sy that fits; the rest of the area is dark. The canvas is put on
// whole device pixels too, so that no pixel is split between two. Only a
// window too small for one device pixel a line gets a fractional size.
function pictureScale(deviceWidth, deviceHeight, pictureWidth, lines = 240) {
  const aspect = 320 / pictureWidth; // display width of a machine pixel, in line heights
  for (let sy = Math.floor(deviceHeight / lines); sy >= 1; sy--) {
    const sx = Math.max(1, Math.round(sy * aspect));
    if (sx * pictureWidth <= deviceWidth) return { sx, sy, width: sx * pictureWidth, height: sy * lines };
  }
  const f = Math.min(deviceWidth / 320, deviceHeight / lines);
  return { sx: f * aspect, sy: f, width: 320 * f, height: lines * f };
}

function fitCanvas() {
  fittedRatio = window.devicePixelRatio;
  const area = $("screen-area");
  const box = area.getBoundingClientRect();
  const dpr = window.devicePixelRatio || 1;
  const fit = pictureScale(Math.floor(box.width * dpr), Math.floor(box.height * dpr), canvas.width, canvas.height);
  const left = Math.round((box.left + (box.width - fit.width / dpr) / 2) * dpr) / dpr - box.left;
  const top = Math.round((box.top + (box.height - fit.height / dpr) / 2) * dpr) / dpr - box.top;
  canvas.style.width = `${fit.width / dpr}px`;
  canvas.style.height = `${fit.height / dpr}px`;
  canvas.style.left = `${left}px`;
  canvas.style.top = `${top}px`;
}
window.addEventListener("resize", fitCanvas);
// The area changes size with the layout too (the keys of a touch screen,
// full screen), and the pixel ratio with zoom or another monitor, which need
// not change the window's size: the loop looks at the ratio every frame.
new ResizeObserver(() => fitCanvas()).observe($("screen-area"));
let fittedRatio = window.devicePixelRatio;

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
  if (state.rewinding) {
    rewindTick(now);
  } else if (!state.paused) {
    // Frames one at a time while key changes wait for theirs.
    const batchOf = (n) => (keyboard.pending ? 1 : Math.min(n, MaxFramesPerCall));
    const fast = fastTape() || fastTyping();
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
  if (window.devicePixelRatio !== fittedRatio) fitCanvas();
  if (ran && machine.pictureChanged()) draw();
  runAfterTape();
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

// Text typed at full speed: a link's program or a dropped BAS text has no
// speed limit until it is typed, as fast tape has; the progress shows.
function typeFast(total) {
  state.typingFast = { total: Math.max(1, total) };
  $("progress").hidden = false;
}

function fastTyping() {
  const typing = state.typingFast;
  if (!typing) return false;
  if (!machine.typing()) {
    state.typingFast = null;
    state.owedMs = 0;
    $("progress").hidden = true;
    return false;
  }
  const done = Math.max(0, 1 - machine.typingLeft() / typing.total);
  $("progress-bar").style.width = `${Math.round(done * 100)}%`;
  $("progress-text").textContent = `Typing the program: ${Math.round(done * 100)} %`;
  return true;
}

// A dropped tape: LOAD CAS: reads it; once the motor has run and stopped,
// RUN starts the program.
function runAfterTape() {
  const wait = state.runAfterTape;
  if (!wait) return;
  if (machine.tapeMotor()) wait.motorSeen = true;
  else if (wait.motorSeen && !machine.typing()) {
    state.runAfterTape = null;
    machine.typeText("RUN\n");
  }
}

// Status line --------------------------------------------------------------

let lastStatusChanges = -1;
let lastMessageChanges = 0;
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
    // Only a new message: the counter's changes never bring an old one back.
    const messages = machine.statusFieldChanges(3);
    if (messages !== lastMessageChanges) {
      lastMessageChanges = messages;
      const message = machine.statusField(3);
      if (message) showMessage(message);
    }
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
  // The desktop's keys: F1 reset, Alt+F1 hard reset, Pause, Alt+Enter full screen.
  if (event.code === "F1") {
    event.preventDefault();
    reset(event.altKey);
    return;
  }
  if (event.code === "Pause") {
    event.preventDefault();
    setPaused(!state.paused);
    return;
  }
  // Shift+Backspace held plays the last seconds backwards; the machine never sees it.
  if (event.code === "Backspace" && event.shiftKey && !event.ctrlKey && !event.altKey && !event.metaKey) {
    event.preventDefault();
    if (!event.repeat) startRewind("key");
    return;
  }
  if (event.altKey && (event.code === "Enter" || event.code === "NumpadEnter")) {
    event.preventDefault();
    toggleFullScreen();
    return;
  }
  if ((event.ctrlKey || event.metaKey) && event.code === "KeyV" && !keyboard.positional) return; // paste event follows
  if (keyboard.down(event)) event.preventDefault();
});
document.addEventListener("keyup", (event) => {
  if (event.code === "Backspace" && state.rewinding === "key") {
    event.preventDefault();
    stopRewind();
    return;
  }
  if (keyboard.up(event)) event.preventDefault();
});
window.addEventListener("blur", () => {
  if (state.rewinding === "key") stopRewind();
  keyboard.releaseAll();
  onScreen.release();
});

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

const pressKeys = (vks) => keyboard.tap(vks);
const touchInput = $("touch-input");
const onScreen = createOnScreenKeys($("special-keys"), keyboard, machine, {
  onKey: () => startSound(),
  openSystemKeyboard: () => touchInput.focus(),
});

// Touch devices: a hidden text field brings up the system keyboard; what it
// receives is typed into the machine.
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
  remember("keyMode", event.target.value);
  canvas.focus();
});

// Sound -------------------------------------------------------------------

// Browsers start sound only after a gesture: until then the screen says so.
function startSound() {
  if (sound.started) return;
  sound
    .start()
    .then(showSound)
    .catch((error) => console.log("sound:", error));
}
document.addEventListener("pointerdown", startSound);
$("sound-hint").addEventListener("click", () => {
  startSound();
  canvas.focus();
});

function showSound() {
  $("sound-hint").hidden = sound.started;
  $("mute").setAttribute("aria-pressed", String(sound.muted));
  $("mute").textContent = sound.muted ? "Unmute" : "Mute";
  $("status-sound").textContent = sound.muted ? "Sound muted" : sound.started ? "Sound on" : "No sound yet";
}

$("mute").addEventListener("click", () => {
  startSound();
  sound.muted = !sound.muted;
  remember("muted", sound.muted);
  showSound();
});

// Speed, pause and reset --------------------------------------------------

$("speed").addEventListener("change", (event) => {
  state.speed = Number(event.target.value);
  state.owedMs = 0;
  remember("speed", state.speed);
  canvas.focus();
});
$("fast-tape").addEventListener("change", (event) => remember("fastTape", event.target.checked));
$("timing").addEventListener("change", (event) => {
  machine.setTiming(event.target.value === "cycles");
  remember("timing", event.target.value);
  canvas.focus();
});

function toggleFullScreen() {
  if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
  else
    document.documentElement.requestFullscreen().catch(() => showMessage("The browser did not allow full screen."));
  canvas.focus();
}
$("fullscreen").addEventListener("click", toggleFullScreen);
document.addEventListener("fullscreenchange", () => requestAnimationFrame(fitCanvas));

$("help").addEventListener("click", () => {
  fillKeyboardMap($("keyboard-map"), machine);
  $("help-panel").showModal();
});
$("help-panel").addEventListener("close", () => canvas.focus());

$("copy-text").addEventListener("click", async () => {
  try {
    await navigator.clipboard.writeText(machine.screenText());
    showMessage("The screen's text is copied.");
  } catch {
    showMessage("The browser did not allow copying.");
  }
});

// The More menu closes when a command in it is chosen or the user clicks elsewhere.
$("more-menu").addEventListener("click", (event) => {
  if (event.target instanceof HTMLButtonElement) $("more").open = false;
});
document.addEventListener("pointerdown", (event) => {
  if (!$("more").contains(event.target)) $("more").open = false;
});

// Rewind: the history's snapshots shown backwards, one every RewindStepMs
// (five times real time at one snapshot each 0.2 s); the machine goes on
// from the last one shown when the key or the button is let go, or by
// itself at the oldest.
const RewindStepMs = 40;

function rewindTick(now) {
  if (now < state.rewindDueMs) return;
  state.rewindDueMs = now + RewindStepMs;
  if (machine.rewindStep()) draw();
  else {
    stopRewind();
    showMessage("Rewound as far as the history reaches.");
  }
}

function startRewind(how) {
  if (state.rewinding) return;
  keyboard.releaseAll();
  onScreen.release();
  state.rewinding = how;
  state.rewindDueMs = 0;
  sound.pause(true);
  $("rewind").setAttribute("aria-pressed", "true");
  showMessage("Rewinding: the last seconds play backwards.");
  startLoop();
}

function stopRewind() {
  if (!state.rewinding) return;
  state.rewinding = null;
  state.owedMs = 0;
  sound.pause(state.paused);
  $("rewind").setAttribute("aria-pressed", "false");
  showMessage("");
}

$("rewind").addEventListener("click", () => (state.rewinding ? stopRewind() : startRewind("button")));

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
  onScreen.release();
  state.typingFast = null;
  state.runAfterTape = null;
  $("progress").hidden = true;
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

async function loadFile(file, autostart, dropped = false) {
  const ext = fileExtension(file.name);
  if (ext === StateExtension && machine.hasStates) {
    restoreState(new Uint8Array(await file.arrayBuffer()), file.name);
    return true;
  }
  if (DiskExtensions.includes(ext)) return drives.attach(null, file.name, new Uint8Array(await file.arrayBuffer()));
  if (!Loadable.includes(ext)) {
    showMessage(`${file.name} is not an .atp, .bac, .bas, .wav, .dsk or .img file.`);
    return false;
  }
  const bytes = new Uint8Array(await file.arrayBuffer());
  if (ext === "bas" && bytes.length && bytes[0] !== 0x82) {
    const least = leastProgramBytes(new TextDecoder("windows-1252").decode(bytes));
    if (least > machine.programRoom()) {
      showMessage(
        `Cannot load ${file.name}: the program needs at least ${least} bytes, the machine has room for ${machine.programRoom()}.`,
      );
      return false;
    }
  }
  return loadBytes(file.name, bytes, autostart, dropped);
}

// A program's text is typed at full speed; a dropped tape is run once read.
function loadBytes(name, bytes, autostart, dropped = false) {
  keyboard.releaseAll();
  state.runAfterTape = null;
  const ok = machine.loadFile(name, bytes, autostart);
  showMessage(machine.message());
  if (ok && fileExtension(name) === "bas" && machine.typing()) typeFast(machine.typingLeft());
  if (ok && dropped && fileExtension(name) === "wav") state.runAfterTape = { motorSeen: false };
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
  if (file) await loadFile(file, true, true);
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

const drives = createDrives(machine, { show: showMessage, done: () => canvas.focus() });

// Save states: one kept in the browser's IndexedDB, any number as downloads.
const KeptStateKey = "state";

function restoreState(bytes, from) {
  keyboard.releaseAll();
  const result = machine.loadState(bytes);
  if (!result.ok) showMessage(`The state in ${from} was not loaded: ${result.message}`);
  else showMessage(result.message ? `State loaded from ${from}; ${result.message}` : `State loaded from ${from}.`);
  draw();
  drives.show();
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

// Program links. Share gives #z= and the base64url of the program in memory
// as BAC bytes without their trailing zeros, compressed with deflate; #bas=
// and the base64url of a BAS file (program text, or BAC bytes) is read too.
const TapeBlockBytes = 253;
const MaxTypedBytes = 65536; // the BAS loader's limit on a text to type

// The least memory a program text can take once BASIC has stored it: a
// line is a record of four bytes around its text; a keyword, a name or a
// number takes at least one byte whatever BASIC makes of it, spaces perhaps
// none; text in quotes and after REM is kept as typed. A program whose
// least is more than the machine's room cannot fit, and is refused before
// a key is typed.
function leastProgramBytes(text) {
  let total = 0;
  for (const line of text.split(/\r\n|\r|\n/)) {
    const numbered = /^\s*\d+(.*)$/.exec(line);
    if (!numbered) continue;
    const rest = numbered[1];
    let bytes = 4;
    let statementStart = true;
    for (let i = 0; i < rest.length; ) {
      const c = rest[i];
      if (c === '"') {
        const close = rest.indexOf('"', i + 1);
        const end = close < 0 ? rest.length : close + 1;
        bytes += end - i;
        i = end;
      } else if (/\s/.test(c)) {
        i++;
        continue;
      } else if (statementStart && /^REM/i.test(rest.slice(i, i + 3))) {
        bytes += 1 + rest.length - (i + 3);
        break;
      } else {
        const token = /^(?:[A-Za-z]+|[0-9.]+|.)/.exec(rest.slice(i))[0];
        bytes++;
        i += token.length;
      }
      statementStart = c === ":";
    }
    total += bytes;
  }
  return total;
}

async function programLink() {
  const bytes = machine.saveBac();
  if (!bytes) return null;
  let end = bytes.length;
  while (end > 0 && bytes[end - 1] === 0) end--;
  const url = new URL(location.href);
  url.hash = "z=" + toBase64Url(await deflate(bytes.subarray(0, end)));
  return url.href;
}

$("share").addEventListener("click", async () => {
  const link = await programLink();
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

async function startFromLink() {
  const match = /^#(bas|z)=(.*)$/.exec(location.hash);
  if (!match) return;
  let bytes = fromBase64Url(match[2]);
  if (bytes && match[1] === "z") {
    bytes = await inflate(bytes).catch(() => null);
    // The BAC file's zeros up to the end of its last tape block.
    if (bytes && bytes[0] === 0x82 && bytes.length % TapeBlockBytes) {
      const whole = new Uint8Array(Math.ceil(bytes.length / TapeBlockBytes) * TapeBlockBytes);
      whole.set(bytes);
      bytes = whole;
    }
  }
  if (!bytes || !bytes.length) {
    showMessage("The program in the link is not readable.");
    return;
  }
  if (bytes[0] === 0x82) {
    loadBytes("link.bac", bytes, true);
    return;
  }
  // Program text: typed at full speed as pasted text is, then run.
  if (bytes.length > MaxTypedBytes) {
    showMessage(`The program in the link is too long to type: ${bytes.length} bytes, more than 65,536.`);
    return;
  }
  let text = new TextDecoder().decode(bytes);
  const least = leastProgramBytes(text);
  if (least > machine.programRoom()) {
    showMessage(
      `The program in the link cannot fit: it needs at least ${least} bytes, the machine has room for ${machine.programRoom()}.`,
    );
    return;
  }
  keyboard.releaseAll();
  machine.reset();
  machine.runFrames(50);
  if (!/[\r\n]$/.test(text)) text += "\n";
  const typed = machine.typeText(text.normalize("NFC") + "RUN\n");
  typeFast(typed);
  showMessage("Typing the program from the link.");
}

// A link opened in a tab that shows the page already changes only the hash.
window.addEventListener("hashchange", () => startFromLink());

// ROM images from the user's disk, taken by the desktop's rules, stay in the
// browser when the user agrees; Forget ROMs goes back to the open firmware
// in one click, whatever the kept images do.
const RomKey = "rom:";

function showRoms() {
  $("basic").value = String(machine.basicChoice());
  $("dos").value = String(machine.dosChoice());
  $("forget-roms").hidden = !machine.romsInstalled();
}

$("rom").addEventListener("click", () => $("rom-input").click());
$("rom-input").addEventListener("change", async (event) => {
  const file = event.target.files[0];
  event.target.value = "";
  if (!file) return;
  const bytes = new Uint8Array(await file.arrayBuffer());
  const ok = machine.installRom(file.name, bytes);
  showMessage(machine.message());
  showRoms();
  if (!ok) return;
  remember("basic", machine.basicChoice());
  if (confirm(`Keep ${file.name} in this browser for the next visits? It is never uploaded.`)) {
    try {
      await stored.put(RomKey + file.name, bytes);
      // A BASIC image kept before for the same slot (the same byte sum) is replaced.
      const sum = (b) => (b.length === 16384 ? b.reduce((total, x) => total + x, 0) : -1);
      if (sum(bytes) >= 0)
        for (const key of await stored.keys())
          if (String(key).startsWith(RomKey) && key !== RomKey + file.name && sum(await stored.get(key)) === sum(bytes))
            await stored.remove(key);
      showMessage(`${file.name} is kept in this browser. ${machine.romDescription()}`);
    } catch {
      showMessage("The browser did not keep the ROM.");
    }
  }
});

$("forget-roms").addEventListener("click", async () => {
  machine.forgetRoms();
  showMessage(machine.message());
  remember("basic", 0);
  try {
    for (const key of await stored.keys()) if (String(key).startsWith(RomKey)) await stored.remove(key);
  } catch {
    // Nothing kept.
  }
  showRoms();
  canvas.focus();
});

$("basic").addEventListener("change", (event) => {
  machine.chooseBasic(Number(event.target.value));
  remember("basic", Number(event.target.value));
  showMessage(machine.message());
  showRoms();
  canvas.focus();
});
$("dos").addEventListener("change", (event) => {
  machine.chooseDos(Number(event.target.value));
  remember("dos", Number(event.target.value));
  showMessage(machine.message());
  showRoms();
  canvas.focus();
});

async function installKeptRoms() {
  try {
    for (const key of await stored.keys())
      if (String(key).startsWith(RomKey) && !machine.installRom(String(key).slice(RomKey.length), await stored.get(key)))
        await stored.remove(key); // kept by an older page that took any file
  } catch {
    // No storage (private window): the built-in firmware runs.
  }
}

// The remembered settings, applied before the machine starts to run.
function applySettings() {
  if ([20, 50, 100, 200, 400, 800, 0].includes(settings.speed)) state.speed = settings.speed;
  $("speed").value = String(state.speed);
  if (settings.keyMode === "positional") keyboard.positional = true;
  $("key-mode").value = keyboard.positional ? "positional" : "natural";
  if (typeof settings.fastTape === "boolean") $("fast-tape").checked = settings.fastTape;
  if (settings.timing === "cycles") machine.setTiming(true);
  $("timing").value = settings.timing === "cycles" ? "cycles" : "fast";
  sound.muted = settings.muted === true;
  if ([0, 1, 2].includes(settings.dos) && settings.dos !== machine.dosChoice()) machine.chooseDos(settings.dos);
  // The kept images install in the order they were kept; the choice made last wins.
  if ([0, 1].includes(settings.basic) && settings.basic !== machine.basicChoice()) machine.chooseBasic(settings.basic);
  showSound();
  showRoms();
}

// Start ---------------------------------------------------------------------

if ("serviceWorker" in navigator && location.protocol !== "file:")
  navigator.serviceWorker.register("sw.js").catch((error) => console.log("service worker:", error));

await installKeptRoms();
applySettings();
fitCanvas();
machine.runFrames(50);
// Kept images start with the page: the way back is said at once.
showMessage(
  machine.romsInstalled()
    ? `${machine.romDescription()}. Forget ROMs (under More) brings back the open firmware.`
    : machine.romDescription(),
);
await drives.restore(); // the disks kept in this browser
await startFromLink();
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
  pictureScale,
  leastProgramBytes,
  settings: () => ({ ...settings }),
  programLink,
  restoreState,
  // True while keys or text wait to reach the machine.
  busy: () => keyboard.pending || machine.typing(),
  // The last message as the user reads it.
  message: () => $("status-message").textContent,
  // Texts shown in Swedish that the table lacks.
  untranslated: () => [...untranslated],
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
