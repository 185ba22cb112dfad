// Save states in the browser: a state kept in IndexedDB survives a page
// reload and gives back the same memory; a downloaded state loads by drop;
// bytes that are not a state are refused and leave the machine running as
// it was.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { openPageWithDownloads, waitForScreen, waitIdle, waitReady, dropFile, command } from "./harness.mjs";

let session;
before(async () => {
  session = await openPageWithDownloads();
});
after(async () => {
  await session?.close();
});

const memory = (page) => page.evaluate(() => Array.from(window.orvane.machine.memory()));
const message = (page) => page.$eval("#status-message", (e) => e.textContent);

async function pausedWithProgram(page, line) {
  await page.evaluate((t) => window.orvane.typeHostText(t), `NEW\n${line}\nA=1234\n`);
  await waitIdle(page);
  await page.evaluate(() => window.orvane.setPaused(true));
}

test("a state kept in the browser survives a reload and gives the same memory", async () => {
  const { page } = session;
  await pausedWithProgram(page, '10 PRINT "KEPT";A');
  const saved = await memory(page);
  await command(page, "save-state");
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("kept in this browser"));

  await page.reload();
  await waitReady(page);
  await page.evaluate(() => window.orvane.setPaused(true));
  assert.notDeepEqual(await memory(page), saved, "a fresh page has a fresh machine");
  await command(page, "load-state");
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("State loaded"));
  assert.deepEqual(await memory(page), saved);
  await page.evaluate(() => window.orvane.setPaused(false));
  // The variable and the program are back.
  await page.evaluate(() => window.orvane.typeHostText("PRINT A\nRUN\n"));
  await waitForScreen(page, /^KEPT ?0 *$/m);
  assert.match(await page.evaluate(() => window.orvane.machine.screenText()), /^ ?1234 *$/m);
});

test("a downloaded state loads by drop", async () => {
  const { page } = session;
  await pausedWithProgram(page, '10 PRINT "DROPPED";A');
  const saved = await memory(page);
  await command(page, "download-state");
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("orvane.ost"));
  const bytes = await session.downloaded("orvane.ost");
  await page.evaluate(() => window.orvane.setPaused(false));
  await command(page, "hard-reset");
  // Paused again before the drop, so that no frame runs between the load
  // and the look at memory.
  await page.evaluate(() => window.orvane.setPaused(true));
  assert.notDeepEqual(await memory(page), saved, "the hard reset cleared the machine");
  await dropFile(page, "orvane.ost", bytes);
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("State loaded"));
  assert.deepEqual(await memory(page), saved);
  await page.evaluate(() => window.orvane.setPaused(false));
});

test("bytes that are not a state are refused and the machine runs on", async () => {
  const { page } = session;
  await page.evaluate(() => window.orvane.setPaused(true));
  const before = await memory(page);
  await dropFile(page, "broken.ost", Buffer.from("not a state at all"));
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("was not loaded"));
  assert.deepEqual(await memory(page), before);
  assert.match(await message(page), /broken\.ost/);
  await page.evaluate(() => window.orvane.setPaused(false));
  await page.focus("#screen");
  await page.keyboard.type("PRINT 3*3", { delay: 20 });
  await page.keyboard.press("Enter");
  await waitForScreen(page, /^ ?9 *$/m);
});

test("a state whose disk the page no longer holds loads and names the disk as the user named it", async () => {
  const { page } = session;
  await dropFile(page, "blank.dsk", Buffer.alloc(163840, 0xe5));
  await page.waitForFunction(() => document.getElementById("status-disks").textContent === "DR0: blank.dsk");
  const state = await page.evaluate(() => Array.from(window.orvane.machine.saveState()));
  await page.evaluate(() => window.orvane.machine.detachDisk(0)); // its copy in the page is gone with it
  await page.evaluate((b) => window.orvane.restoreState(new Uint8Array(b), "old.ost"), state);
  const said = await message(page);
  assert.match(said, /^State loaded from old\.ost; .*blank\.dsk/);
  assert.doesNotMatch(said, /\/disks\/|DR0-blank/);
});

test("Shift+Backspace held plays the screen back, and the machine goes on from there", async () => {
  const { page } = session;
  await page.evaluate(() => window.orvane.setPaused(false));
  await page.evaluate(() => window.orvane.typeHostText("PRINT 111*111\n"));
  await waitForScreen(page, /^ ?12321 *$/m);
  // A second and a half between the answers: several snapshots apart.
  await new Promise((resolve) => setTimeout(resolve, 1500));
  await page.evaluate(() => window.orvane.typeHostText("PRINT 7*7\n"));
  await waitForScreen(page, /^ ?49 *$/m);
  await new Promise((resolve) => setTimeout(resolve, 500));
  await page.focus("#screen");
  await page.keyboard.down("Shift");
  await page.keyboard.down("Backspace");
  assert.equal(await message(page), "Rewinding: the last seconds play backwards.");
  await page.waitForFunction(() => !/^ ?49 *$/m.test(window.orvane.machine.screenText()), { timeout: 20000 });
  await page.keyboard.up("Backspace");
  await page.keyboard.up("Shift");
  const back = await page.evaluate(() => window.orvane.machine.screenText());
  assert.match(back, /^ ?12321 *$/m, "back before the second answer, not before the first");
  assert.equal(await message(page), "");
  // The machine runs and types from there.
  await page.evaluate(() => window.orvane.typeHostText("PRINT 6*7\n"));
  await waitForScreen(page, /^ ?42 *$/m);
});
