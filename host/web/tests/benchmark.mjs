// The page's speed in headless chromium (not a test; figures for docs/web.md):
//   node host/web/tests/benchmark.mjs [SECONDS]
// - emulated frames a second with the picture rendered after every frame,
//   and with it also drawn on the canvas (best of five one-second runs);
// - the page's busy share of one core while it runs at 100 % for SECONDS;
// - the page's size, as served and compressed (gzip -9 and brotli).
import fs from "node:fs";
import path from "node:path";
import zlib from "node:zlib";
import { openPage, waitForScreen, PageFolder } from "./harness.mjs";

const seconds = Number(process.argv[2] || 10);
const session = await openPage();
const { page, browser } = session;
try {
  await waitForScreen(page, "ORVANE BASIC");
  // A program that keeps the screen changing.
  await page.evaluate(() => window.orvane.typeHostText("10 FOR I=1 TO 10000:PRINT I;:NEXT I:GOTO 10\nRUN\n"));
  await new Promise((r) => setTimeout(r, 1000));
  const fast = await page.evaluate(() => window.orvane.benchmark(5));
  console.log(`frames with the picture rendered: ${fast.core.toFixed(0)} a second, ${fast.coreTimesRealTime.toFixed(0)} x real time`);
  console.log(`frames with the picture also drawn on the canvas: ${fast.canvas.toFixed(0)} a second, ${fast.canvasTimesRealTime.toFixed(0)} x real time`);

  const printing = "10 FOR I=1 TO 10000:PRINT I;:NEXT I:GOTO 10\nRUN\n";
  for (const [what, program, withSound] of [
    ["BASIC printing without pause, silent", null, false],
    ["BASIC at its prompt, silent", "\u0003", false],
    ["BASIC at its prompt, sound on", null, true],
    ["BASIC printing without pause, sound on", printing, true],
  ]) {
  if (withSound && !(await page.evaluate(() => window.orvane.sound.started))) {
    await page.click("#screen"); // the gesture that starts the sound
    await page.waitForFunction(() => window.orvane.sound.stats().state === "running", { timeout: 10000 });
  }
  if (program) {
    await page.evaluate((t) => window.orvane.typeHostText(t), program);
    await new Promise((r) => setTimeout(r, 1000));
  }
  console.log(`${what}:`);
  // CPU at 100 %: the page's own work, and the browser's processes as the
  // system counts them over the same time.
  const cdp = await page.createCDPSession();
  await cdp.send("Performance.enable");
  const metric = async () => Object.fromEntries((await cdp.send("Performance.getMetrics")).metrics.map((m) => [m.name, m.value]));
  const procTicks = () => {
    let total = 0;
    const pid = browser.process().pid;
    for (const entry of fs.readdirSync("/proc")) {
      if (!/^\d+$/.test(entry)) continue;
      try {
        const stat = fs.readFileSync(`/proc/${entry}/stat`, "utf8");
        const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
        const cmdline = fs.readFileSync(`/proc/${entry}/cmdline`, "utf8");
        if (Number(entry) === pid || (cmdline.includes("chromium") && cmdline.includes("orvane-chromium-")))
          total += Number(fields[11]) + Number(fields[12]);
      } catch {}
    }
    return total;
  };
  await page.evaluate(() => window.orvane.load());
  const before = await metric();
  const ticks0 = procTicks();
  const t0 = Date.now();
  await new Promise((r) => setTimeout(r, seconds * 1000));
  const load = await page.evaluate(() => window.orvane.load());
  const after = await metric();
  const wall = (Date.now() - t0) / 1000;
  const ticks = procTicks() - ticks0;
  const clk = 100;
  console.log(`  at 100 %: ${((load.frames / (load.wallMs / 1000)) ).toFixed(1)} frames a second`);
  console.log(`  page frame work: ${((100 * load.busyMs) / load.wallMs).toFixed(1)} % of one core`);
  console.log(`  renderer script and layout: ${((100 * (after.ScriptDuration + after.LayoutDuration + after.RecalcStyleDuration - before.ScriptDuration - before.LayoutDuration - before.RecalcStyleDuration)) / wall).toFixed(1)} % of one core`);
  console.log(`  all chromium processes: ${((100 * ticks) / clk / wall).toFixed(1)} % of one core`);
  }

  let raw = 0, gzip = 0, brotli = 0;
  for (const name of fs.readdirSync(PageFolder)) {
    const bytes = fs.readFileSync(path.join(PageFolder, name));
    raw += bytes.length;
    gzip += zlib.gzipSync(bytes, { level: 9 }).length;
    brotli += zlib.brotliCompressSync(bytes).length;
  }
  console.log(`page: ${(raw / 1024).toFixed(0)} KiB, ${(gzip / 1024).toFixed(0)} KiB with gzip, ${(brotli / 1024).toFixed(0)} KiB with brotli`);
} finally {
  await session.close();
}
