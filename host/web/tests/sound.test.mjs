// Sound: started by the first gesture, the mixer's blocks reach the
// AudioWorklet while SOUND plays, and the rate control keeps the worklet's
// queue short.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { openPage, waitForScreen, waitIdle } from "./harness.mjs";

let session;
before(async () => {
  session = await openPage();
  await waitForScreen(session.page, "ORVANE BASIC");
});
after(async () => {
  await session?.close();
});

const stats = (page) => page.evaluate(() => window.orvane.sound.stats());

test("no sound starts before a user gesture", async () => {
  const { page } = session;
  await new Promise((r) => setTimeout(r, 300));
  assert.equal((await stats(page)).state, "none");
});

test("the worklet receives the sound chip's samples while SOUND plays", async () => {
  const { page } = session;
  await page.click("#screen"); // the gesture that starts the sound
  await page.waitForFunction(() => window.orvane.sound.stats().state === "running", { timeout: 10000 });
  await page.evaluate(() => window.orvane.typeHostText("SOUND 0\n"));
  await waitIdle(page);
  await new Promise((r) => setTimeout(r, 500));
  const silent = await stats(page);
  assert.ok(silent.received > 0, "blocks flow while the chip is silent");
  assert.equal(silent.peak, 0, "and they are silent");

  await page.evaluate(() => window.orvane.typeHostText("SOUND 1\n"));
  await page.waitForFunction(() => window.orvane.sound.stats().peak > 0.02, { timeout: 10000 });
  const loud = await stats(page);
  assert.ok(loud.received > silent.received);
  assert.ok(loud.played > 0, "the worklet plays what it receives");
  await page.evaluate(() => window.orvane.typeHostText("SOUND 0\n"));
});

test("the rate control keeps the worklet's queue within a few blocks", async () => {
  const { page } = session;
  await new Promise((r) => setTimeout(r, 3000));
  const s = await stats(page);
  const queuedBlocks = (s.sent - s.played) / 960;
  assert.ok(queuedBlocks < 20, `queue of ${queuedBlocks} blocks`);
});

test("mute silences the output without stopping the stream", async () => {
  const { page } = session;
  await page.click("#mute");
  const before = await stats(page);
  await new Promise((r) => setTimeout(r, 500));
  const after = await stats(page);
  assert.ok(after.received > before.received);
  assert.equal(await page.$eval("#mute", (b) => b.getAttribute("aria-pressed")), "true");
  await page.click("#mute");
});
