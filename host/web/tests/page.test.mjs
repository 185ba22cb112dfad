// The page as a front end: messages that stay until the next event and name
// files as the user named them, the desktop's keys and settings, drives
// attached and ejected one by one, ROM images taken by the desktop's rules
// (and forgotten in one click when one does not boot), program links typed
// at full speed, and short share links.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { openPage, waitForScreen, waitIdle, waitReady, dropFile, command, message, screenText } from "./harness.mjs";

let session;
let folder;
before(async () => {
  session = await openPage();
  folder = fs.mkdtempSync(path.join(os.tmpdir(), "orvane-page-"));
  await waitForScreen(session.page, "ORVANE BASIC");
});
after(async () => {
  await session?.close();
  if (folder) fs.rmSync(folder, { recursive: true, force: true });
});

const frames = (page, n) =>
  page.evaluate((n) => {
    const until = window.orvane.machine.cycles() + n * 59904;
    return new Promise((resolve) => {
      const wait = () => (window.orvane.machine.cycles() >= until ? resolve() : setTimeout(wait, 20));
      wait();
    });
  }, n);

const typeIn = async (page, text) => {
  await page.evaluate((t) => window.orvane.typeHostText(t), text);
  await waitIdle(page);
};

// 8-bit mono silence: a tape the deck plays without finding a program.
function silentWav(seconds) {
  const samples = 22050 * seconds;
  const wav = Buffer.alloc(44 + samples, 0x80);
  wav.write("RIFF", 0);
  wav.writeUInt32LE(36 + samples, 4);
  wav.write("WAVEfmt ", 8);
  wav.writeUInt32LE(16, 16);
  wav.writeUInt16LE(1, 20);
  wav.writeUInt16LE(1, 22);
  wav.writeUInt32LE(22050, 24);
  wav.writeUInt32LE(22050, 28);
  wav.writeUInt16LE(1, 32);
  wav.writeUInt16LE(8, 34);
  wav.write("data", 36);
  wav.writeUInt32LE(samples, 40);
  return wav;
}

async function pickFile(page, button, name, bytes) {
  const file = path.join(folder, name);
  fs.writeFileSync(file, bytes);
  const [chooser] = await Promise.all([page.waitForFileChooser(), command(page, button)]);
  await chooser.accept([file]);
}

test("a refusal stays on the status line while the tape counter moves, and diagnostics stay out of the console", async () => {
  const { page, log } = session;
  // At the machine's speed, so that the tape plays while the messages come;
  // the refused file is opened with Run unticked, so nothing stops the tape.
  await page.evaluate(() => (document.getElementById("fast-tape").checked = false));
  try {
    await dropFile(page, "quiet.wav", silentWav(20));
    await page.waitForFunction(() => window.orvane.machine.tapeMotor(), { timeout: 20000 });
    await page.evaluate(() => (document.getElementById("autostart").checked = false));
    await pickFile(page, "open", "garbage.bac", Buffer.from("not a program at all"));
    await page.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Cannot load garbage.bac"));
    const refusal = await message(page);
    const counter = await page.$eval("#status-tape", (e) => e.textContent);
    await page.waitForFunction((c) => document.getElementById("status-tape").textContent !== c, { timeout: 20000 }, counter);
    await frames(page, 25);
    assert.equal(await message(page), refusal, "the counter's change brought back an old message");
    assert.match(refusal, /^Cannot load garbage\.bac: .*BAC/);
  } finally {
    await page.evaluate(() => {
      window.orvane.machine.closeTape();
      document.getElementById("fast-tape").checked = true;
      document.getElementById("autostart").checked = true;
    });
  }

  // A loaded BAC prints its size on the loader's diagnostic output: not on the console.
  await page.click("#reset");
  await typeIn(page, 'NEW\n10 PRINT "QUIET"\n');
  const bac = await page.evaluate(() => Array.from(window.orvane.machine.saveBac()));
  await page.evaluate((b) => window.orvane.loadBytes("quiet.bac", new Uint8Array(b), true), bac);
  await waitForScreen(page, /^QUIET *$/m);
  assert.deepEqual(log.filter((l) => /bytes read|ROM file/.test(l)), []);
});

test("the desktop's keys: F1 resets, Alt+F1 clears memory, Pause holds the machine", async () => {
  const { page } = session;
  await page.click("#screen");
  await typeIn(page, "NEW\n10 REM KEPT\n");
  await page.keyboard.press("F1");
  await frames(page, 50);
  await typeIn(page, "LIST\n");
  assert.match(await screenText(page), /^10 REM KEPT/m, "F1 keeps the program");

  await page.keyboard.down("Alt");
  await page.keyboard.press("F1");
  await page.keyboard.up("Alt");
  assert.equal(await message(page), "Hard reset.");
  await frames(page, 50);
  await typeIn(page, "LIST\n");
  assert.doesNotMatch(await screenText(page), /REM KEPT/, "Alt+F1 clears the memory");

  await page.keyboard.press("Pause");
  await page.waitForFunction(() => document.getElementById("status-speed").textContent === "Paused");
  const held = await page.evaluate(() => window.orvane.machine.cycles());
  await new Promise((r) => setTimeout(r, 300));
  assert.equal(await page.evaluate(() => window.orvane.machine.cycles()), held);
  await page.keyboard.press("Pause");
  await frames(page, 10);
});

test("settings and the mute state are remembered across a reload; sound is offered until started", async () => {
  const { page } = session;
  assert.equal(await page.$eval("#sound-hint", (b) => b.hidden), true, "a click earlier started the sound");
  await page.select("#speed", "400");
  await page.evaluate(() => (document.getElementById("more").open = true));
  await page.select("#key-mode", "positional");
  await page.select("#timing", "cycles");
  await page.click("#fast-tape");
  await page.click("#mute");
  assert.match(await page.$eval("#status-sound", (e) => e.textContent), /muted/);
  await page.reload();
  await waitReady(page);
  const shown = await page.evaluate(() => ({
    speed: document.getElementById("speed").value,
    keys: document.getElementById("key-mode").value,
    positional: window.orvane.keyboard.positional,
    timing: document.getElementById("timing").value,
    fastTape: document.getElementById("fast-tape").checked,
    mute: document.getElementById("mute").textContent,
    sound: document.getElementById("status-sound").textContent,
    hint: !document.getElementById("sound-hint").hidden,
  }));
  assert.deepEqual(shown, { speed: "400", keys: "positional", positional: true, timing: "cycles", fastTape: false,
    mute: "Unmute", sound: "Sound muted", hint: true });
  // The cycle-exact mode runs the machine and draws it: the banner is lit.
  await waitForScreen(page, "ORVANE BASIC");
  const lit = await page.evaluate(() => window.orvane.machine.picture().pixels.reduce((n, v) => n + (v ? 1 : 0), 0));
  assert.ok(lit > 300, `${lit} lit pixels`);
  await page.click("#sound-hint");
  await page.waitForFunction(() => document.getElementById("sound-hint").hidden);
  await page.evaluate(() => localStorage.clear());
  await page.reload();
  await waitReady(page);
  await waitForScreen(page, "ORVANE BASIC");
});

test("disks are attached and ejected per drive, and a fifth is refused rather than replacing DR0", async () => {
  const { page } = session;
  const disk = (seed) => Buffer.alloc(163840, seed);
  await pickFile(page, "attach-dr2", "two.dsk", disk(2));
  await page.waitForFunction(() => document.getElementById("status-disks").textContent === "DR2: two.dsk");
  await command(page, "eject-dr2");
  assert.equal(await message(page), "two.dsk ejected from DR2.");
  assert.equal(await page.$eval("#status-disks", (e) => e.textContent), "");
  for (const d of [0, 1, 2, 3]) await dropFile(page, `d${d}.dsk`, disk(d + 1));
  await page.waitForFunction(() => document.getElementById("status-disks").textContent.includes("DR3: d3.dsk"));
  await dropFile(page, "fifth.dsk", disk(9));
  await page.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Cannot attach fifth.dsk"));
  assert.match(await page.$eval("#status-disks", (e) => e.textContent), /^DR0: d0\.dsk/);
  assert.deepEqual(await page.evaluate(() => window.orvane.machine.diskImage(0).slice(0, 4)), { 0: 1, 1: 1, 2: 1, 3: 1 });
  for (const d of [0, 1, 2, 3]) await page.evaluate((d) => window.orvane.machine.detachDisk(d), d);
});

test("ROM images: refused with the cause, BASIC and DOS choices, and one that does not boot is forgotten in one click", async () => {
  const { page } = session;
  const questions = [];
  const answer = async (dialog) => {
    questions.push(dialog.message());
    await dialog.accept();
  };
  page.on("dialog", answer);
  try {
    await pickFile(page, "rom", "short.rom", Buffer.alloc(1000, 0x55));
    await page.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Cannot use short.rom"));
    assert.match(await message(page), /has 1000 bytes/);
    await pickFile(page, "rom", "odd.rom", Buffer.alloc(16384, 1));
    await page.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Cannot use odd.rom"));
    assert.match(await message(page), /byte sum 16384/);
    assert.deepEqual(questions, [], "a refused image is never offered for keeping");
    assert.equal(await page.$eval("#forget-roms", (b) => b.hidden), true);

    // A refused file of a taken image's name leaves that image in place.
    await pickFile(page, "rom", "ufddos.rom", Buffer.alloc(4096, 0xff));
    await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("ufddos.rom is kept"));
    await pickFile(page, "rom", "ufddos.rom", Buffer.alloc(3000, 0xff));
    await page.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Cannot use ufddos.rom"));
    assert.match(await page.evaluate(() => window.orvane.machine.romDescription()), /UFDDOS image ufddos\.rom/);
    questions.length = 0;

    // Our own bytes with the old BASIC's byte sum: taken, and it does not boot.
    const junk = Buffer.alloc(16384, 0);
    junk.fill(0xff, 16384 - 45, 16384 - 1);
    junk[16383] = 11273 - 44 * 255;
    await pickFile(page, "rom", "junk.rom", junk);
    await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("junk.rom is kept"));
    assert.match(questions[0], /Keep junk\.rom/);
    assert.equal(await page.$eval("#basic", (s) => s.value), "0");
    assert.match(await page.evaluate(() => window.orvane.machine.romDescription()), /old image junk\.rom/);

    // The new BASIC is not installed: choosing it says what runs instead.
    await page.evaluate(() => (document.getElementById("more").open = true));
    await page.select("#basic", "1");
    assert.equal(await message(page), "No new BASIC image is installed; the open firmware runs.");
    await waitForScreen(page, "ORVANE BASIC");
    await page.select("#basic", "0");

    // An image with the new BASIC's sum is chosen at once; a second image
    // with the old BASIC's sum takes the old one's place.
    const newJunk = Buffer.alloc(16384, 0);
    newJunk.fill(0xff, 0, 38);
    newJunk[38] = 9913 - 38 * 255;
    await pickFile(page, "rom", "newjunk.rom", newJunk);
    await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("newjunk.rom is kept"));
    assert.equal(await page.$eval("#basic", (s) => s.value), "1");
    assert.match(await page.evaluate(() => window.orvane.machine.romDescription()), /new image newjunk\.rom/);
    const again = Buffer.from(junk);
    again[0] = 1;
    again[16383] -= 1;
    await pickFile(page, "rom", "junk2.rom", again);
    await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("junk2.rom is kept"));
    assert.equal(await page.$eval("#basic", (s) => s.value), "0");
    assert.match(await page.evaluate(() => window.orvane.machine.romDescription()), /old image junk2\.rom/);
    const kept = await page.evaluate(async () => {
      const db = await new Promise((resolve) => {
        const r = indexedDB.open("orvane", 1);
        r.onsuccess = () => resolve(r.result);
      });
      const keys = await new Promise((resolve) => {
        const r = db.transaction("files").objectStore("files").getAllKeys();
        r.onsuccess = () => resolve(r.result);
      });
      db.close();
      return keys.filter((k) => String(k).startsWith("rom:")).sort();
    });
    assert.deepEqual(kept, ["rom:junk2.rom", "rom:newjunk.rom", "rom:ufddos.rom"], "the replaced image is no longer kept");

    // Kept, it runs again after a reload, and the machine never shows its
    // prompt; Forget ROMs is one click away and brings the open firmware back.
    await page.reload();
    await waitReady(page);
    assert.equal(await page.$eval("#basic", (s) => s.value), "0", "the BASIC chosen last runs after a reload");
    await frames(page, 100);
    assert.doesNotMatch(await screenText(page), /ORVANE BASIC/);
    assert.match(await message(page), /Forget ROMs \(under More\) brings back the open firmware/);
    await command(page, "forget-roms");
    await waitForScreen(page, "ORVANE BASIC");
    assert.equal(await message(page), "The ROM images are forgotten; the open firmware runs.");
    await page.reload();
    await waitReady(page);
    await waitForScreen(page, "ORVANE BASIC");
    assert.equal(await page.$eval("#forget-roms", (b) => b.hidden), true);
  } finally {
    page.off("dialog", answer);
    // Nothing kept for the tests after this one, whatever failed.
    if (!(await page.$eval("#forget-roms", (b) => b.hidden))) await command(page, "forget-roms");
    await page.evaluate(() => localStorage.clear());
  }
});

// Bytes of program lines BASIC holds: from 8000h to the end byte, whose
// address is in the word at FE1Eh less one.
const storedBytes = (page) =>
  page.evaluate(() => {
    const m = window.orvane.machine.memory();
    return m[0xfe1e] + 256 * m[0xfe1f] - 1 - 0x8000;
  });

// A program of about 16 KB: typed at real time it took nearly a minute.
function longProgram(size = 16000) {
  const lines = [];
  for (let n = 10; lines.join("\n").length < size; n += 10) lines.push(`${n} REM ${"ABCDEFGHIJ".repeat(6)}`);
  lines.push('32000 PRINT "LONG";' + lines.length);
  return { text: lines.join("\n") + "\n", count: lines.length - 1 };
}

test("a long #bas= link is typed at full speed and runs; one too long to type is refused before typing", async () => {
  const { browser, served } = session;
  const other = await browser.newPage();
  try {
    const { text, count } = longProgram();
    const started = Date.now();
    await other.goto(served.url + "#bas=" + Buffer.from(text).toString("base64url"));
    await waitReady(other);
    await waitForScreen(other, new RegExp(`^LONG ?${count} *$`, "m"), 60000);
    const seconds = (Date.now() - started) / 1000;
    assert.ok(seconds < 27, `typed in ${seconds} s: at the machine's own speed it takes 54 s`);
    assert.equal(await other.$eval("#progress", (p) => p.hidden), true, "the progress goes once typed");
    // The least a text can take is no more than BASIC took for it.
    const bound = await other.evaluate((t) => window.orvane.leastProgramBytes(t), text);
    assert.ok(bound <= (await storedBytes(other)), `${bound} bytes at least, ${await storedBytes(other)} stored`);
    assert.ok(bound > text.length * 0.9, "the bound is close for REM lines");

    // One that cannot fit in the machine's memory is refused before typing.
    const big = longProgram(40000).text;
    await other.goto(served.url + "#bas=" + Buffer.from(big).toString("base64url"));
    await waitReady(other);
    assert.match(await message(other), /^The program in the link cannot fit: it needs at least \d+ bytes, the machine has room for 29695\.$/);
    assert.equal(await other.evaluate(() => window.orvane.machine.typing()), false);
    await dropFile(other, "big.bas", Buffer.from(big));
    await other.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Cannot load big.bas: the program needs at least"));
    assert.equal(await other.evaluate(() => window.orvane.machine.typing()), false);

    await other.goto(served.url + "#bas=" + Buffer.from("10 REM " + "X".repeat(70000) + "\n").toString("base64url"));
    await waitReady(other);
    assert.match(await message(other), /too long to type: 70008 bytes/);
    assert.equal(await other.evaluate(() => window.orvane.machine.typing()), false);
  } finally {
    await other.close();
  }
});

test("a dropped BAS text is typed at full speed with its progress shown", async () => {
  const { page } = session;
  const { text, count } = longProgram();
  const started = Date.now();
  await dropFile(page, "long.bas", Buffer.from(text.replace(/\n/g, "\r\n")));
  await page.waitForFunction(() => !document.getElementById("progress").hidden);
  await page.waitForFunction(() => /^Typing the program: \d+ %$/.test(document.getElementById("progress-text").textContent));
  await waitForScreen(page, new RegExp(`^LONG ?${count} *$`, "m"), 60000);
  const seconds = (Date.now() - started) / 1000;
  assert.ok(seconds < 27, `typed in ${seconds} s: at the machine's own speed it takes 54 s`);
  await page.waitForFunction(() => document.getElementById("progress").hidden);
});

test("Alt+Enter and the button give full screen with a larger crisp picture; the help names the keys", async () => {
  const { page } = session;
  await page.setViewport({ width: 1024, height: 768 });
  const before = await page.$eval("#screen", (c) => c.getBoundingClientRect().height);
  await page.focus("#screen");
  await page.keyboard.down("Alt");
  await page.keyboard.press("Enter");
  await page.keyboard.up("Alt");
  await page.waitForFunction(() => document.fullscreenElement !== null);
  await page.waitForFunction((h) => document.getElementById("screen").getBoundingClientRect().height > h, {}, before);
  const height = await page.$eval("#screen", (c) => c.getBoundingClientRect().height);
  assert.equal(height % 240, 0, `${height} px is whole pixels a line`);
  await page.keyboard.down("Alt");
  await page.keyboard.press("Enter");
  await page.keyboard.up("Alt");
  await page.waitForFunction(() => document.fullscreenElement === null);

  await page.click("#help");
  assert.equal(await page.$eval("#help-panel", (d) => d.open), true);
  const help = await page.$eval("#help-panel", (d) => d.textContent);
  for (const key of ["F1", "Alt+F1", "Pause", "Alt+Enter", "Ctrl+V", "CTRL-C"]) assert.ok(help.includes(key), key);
  // The map is the machine's: the key it shows at the place of A (third
  // row, first key) is what that key types by position.
  const [shifted, plain] = await page.$eval("#keyboard-map", (t) => {
    const cell = t.rows[2].cells[0];
    return [cell.querySelector("small").textContent, cell.querySelector("span").textContent];
  });
  assert.ok(plain && shifted, "the A key's place has a machine key");
  await page.click("#help-panel button");
  assert.equal(await page.$eval("#help-panel", (d) => d.open), false);
  await page.evaluate(() => (document.getElementById("more").open = true));
  await page.select("#key-mode", "positional");
  await page.focus("#screen");
  await page.keyboard.press("KeyA");
  await page.keyboard.down("Shift");
  await page.keyboard.press("KeyA");
  await page.keyboard.up("Shift");
  await waitIdle(page);
  const rows = (await screenText(page)).split("\n").filter((r) => r.trim());
  assert.equal(rows.at(-1).trim(), ">" + plain + shifted);
  await page.keyboard.press("Enter");
  // A mode switch lets go of every key still queued: the Enter is seen first.
  await waitIdle(page);
  await page.evaluate(() => (document.getElementById("more").open = true));
  await page.select("#key-mode", "natural");
  await page.evaluate(() => localStorage.clear());
});

test("a share link is short, and runs its program on a fresh page", async () => {
  const { page, browser } = session;
  await typeIn(page, 'NEW\n10 PRINT "SHORT"\n20 FOR I=1 TO 3\n30 PRINT I*11\n40 NEXT I\n');
  const bound = await page.evaluate(() =>
    window.orvane.leastProgramBytes('10 PRINT "SHORT"\n20 FOR I=1 TO 3\n30 PRINT I*11\n40 NEXT I\n'));
  assert.ok(bound <= (await storedBytes(page)), `${bound} bytes at least, ${await storedBytes(page)} stored`);
  const link = await page.evaluate(() => window.orvane.programLink());
  const hash = new URL(link).hash;
  assert.match(hash, /^#z=[A-Za-z0-9_-]+$/);
  assert.ok(hash.length < 100, `a four-line program makes a ${hash.length}-character link`);
  const other = await browser.newPage();
  try {
    await other.goto(link);
    await waitReady(other);
    await waitForScreen(other, /^ ?33 *$/m);
    await other.goto(link.replace(/#z=.*/, "#z=AAAA"));
    await waitReady(other);
    assert.equal(await message(other), "The program in the link is not readable.");
  } finally {
    await other.close();
  }
});

test("Copy text puts the screen's text on the clipboard", async () => {
  const { page, browser, served } = session;
  await browser.defaultBrowserContext().overridePermissions(served.url.replace(/\/$/, ""), ["clipboard-read", "clipboard-write", "clipboard-sanitized-write"]);
  await typeIn(page, 'PRINT "COPY";5*5\n');
  await command(page, "copy-text");
  await page.waitForFunction(() => document.getElementById("status-message").textContent === "The screen's text is copied.");
  const copied = await page.evaluate(() => navigator.clipboard.readText());
  assert.match(copied, /^COPY ?25 *$/m);
});
