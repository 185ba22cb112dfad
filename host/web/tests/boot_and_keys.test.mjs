// The page boots the machine into the open firmware, shows it on the canvas,
// and takes keys and pasted text.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { openPage, waitForScreen, waitIdle, decodePng, screenText, command } from "./harness.mjs";

let session;
before(async () => {
  session = await openPage();
});
after(async () => {
  await session?.close();
});

test("the banner is in the screen text and lit on the canvas", async () => {
  const { page, log } = session;
  const text = await waitForScreen(page, "ORVANE BASIC");
  assert.match(text.split("\n")[0], /^ORVANE BASIC \d+\.\d+ *$/);
  // The banner row is lit in the browser's own rendering of the page; the
  // rows below the prompt stay dark.
  const box = await (await page.$("#screen")).boundingBox();
  const shot = decodePng(Buffer.from(await page.screenshot({ clip: box, type: "png" })));
  const litIn = (fromY, toY) => {
    let lit = 0;
    for (let y = Math.floor(fromY * shot.height); y < Math.floor(toY * shot.height); y++)
      for (let x = 0; x < shot.width; x++) if (shot.pixels[(y * shot.width + x) * shot.channels] > 128) lit++;
    return lit;
  };
  assert.ok(litIn(0, 1 / 24) > 100, "the banner row has lit pixels");
  assert.equal(litIn(12 / 24, 1), 0, "the lower half of the screen is dark");
  assert.deepEqual(log.filter((l) => l.startsWith("page error")), []);
});

test("keys typed into the page run PRINT 6*7", async () => {
  const { page } = session;
  await page.focus("#screen");
  await page.keyboard.type("PRINT 6*7", { delay: 30 });
  await page.keyboard.press("Enter");
  const text = await waitForScreen(page, /^ ?42 *$/m);
  assert.match(text, /PRINT 6\*7/);
});

test("natural typing gives the character the key produces, positional mode the key's place", async () => {
  const { page } = session;
  await page.focus("#screen");
  // '"' is Shift+2 on the machine but Shift+' on this layout; natural mode
  // types the character itself.
  await page.keyboard.type('PRINT "AB"', { delay: 30 });
  await page.keyboard.press("Enter");
  await waitForScreen(page, /^AB *$/m);
  await page.select("#key-mode", "positional");
  await page.focus("#screen");
  // By position, Shift+2 is the machine's '"'.
  await page.keyboard.type("PRINT ", { delay: 30 });
  await page.keyboard.down("Shift");
  await page.keyboard.press("Digit2");
  await page.keyboard.type("CD", { delay: 30 });
  await page.keyboard.press("Digit2");
  await page.keyboard.up("Shift");
  await page.keyboard.press("Enter");
  await waitForScreen(page, /^CD *$/m);
  await page.select("#key-mode", "natural");
});

test("pasted text types and runs a program, line ends included", async () => {
  const { page } = session;
  await page.focus("#screen");
  await page.evaluate(() => {
    const transfer = new DataTransfer();
    transfer.setData("text/plain", "NEW\n10 FOR I=1 TO 3\r\n20 PRINT I*111\n30 NEXT I\nRUN\n");
    document.getElementById("screen").dispatchEvent(new ClipboardEvent("paste", { clipboardData: transfer, bubbles: true, cancelable: true }));
  });
  const text = await waitForScreen(page, /^ ?333 *$/m);
  assert.match(text, /^ ?111 *$/m);
  assert.match(text, /^ ?222 *$/m);
  await waitIdle(page);
});

test("the on-screen keys reach the machine", async () => {
  const { page } = session;
  await page.focus("#screen");
  await page.keyboard.type("PRINT 5+5", { delay: 30 });
  await page.click('#special-keys button[data-vk="13"]');
  await waitForScreen(page, /^ ?10 *$/m);
  // The Swedish letters type as the machine's own codes.
  await page.keyboard.type('PRINT "', { delay: 30 });
  await page.click('#special-keys button[data-text="Ä"]');
  await waitIdle(page);
  await page.keyboard.type('"', { delay: 30 });
  await page.click('#special-keys button[data-vk="13"]');
  await waitForScreen(page, /^Ä *$/m);
  assert.ok((await screenText(page)).includes('PRINT "Ä"'));
});

test("pause holds the machine still, no limit runs it faster than 100 %", async () => {
  const { page } = session;
  const cycles = () => page.evaluate(() => window.orvane.machine.cycles());
  await page.click("#pause");
  const held = await cycles();
  await new Promise((r) => setTimeout(r, 300));
  assert.equal(await cycles(), held);
  assert.equal(await page.$eval("#pause", (b) => b.textContent), "Resume");
  await page.click("#pause");
  await page.waitForFunction((c) => window.orvane.machine.cycles() > c, {}, held);

  // Emulated time at 100 % follows the clock; without limit it runs ahead.
  const measure = async () => {
    const c0 = await cycles();
    const t0 = Date.now();
    await new Promise((r) => setTimeout(r, 1000));
    return (await cycles() - c0) / 2995200 / ((Date.now() - t0) / 1000);
  };
  const normal = await measure();
  assert.ok(normal > 0.5 && normal < 1.5, `100 % ran at ${normal}`);
  await page.select("#speed", "0");
  const free = await measure();
  assert.ok(free > 2 * normal, `no limit ran at ${free}`);
  await page.select("#speed", "100");
});

test("reset starts BASIC afresh, hard reset also clears the memory, F1 resets", async () => {
  const { page } = session;
  await page.evaluate(() => window.orvane.typeHostText('NEW\n10 PRINT "GONE"\n'));
  // The first byte of the program area: a line record's length, or 0 or 1
  // (the end mark BASIC writes when it starts) when there is no program.
  const programByte = () => page.evaluate(() => window.orvane.machine.memory()[0x8000]);
  await page.waitForFunction(() => window.orvane.machine.memory()[0x8000] > 1);
  await page.click("#reset");
  // The screen starts again with the banner and nothing below the prompt.
  await page.waitForFunction(() => {
    const rows = window.orvane.machine.screenText().split("\n");
    return rows[0].startsWith("ORVANE BASIC") && rows[1].includes("BYTES FREE") && rows[2].startsWith(">") && rows[3].trim() === "";
  });
  await page.focus("#screen");
  await page.keyboard.type("PRINT 1", { delay: 20 });
  await page.keyboard.press("F1");
  await page.waitForFunction(() => document.getElementById("status-message").textContent === "Reset.");
  // The typed PRINT 1 is gone with the reset.
  await page.waitForFunction(() => !window.orvane.machine.screenText().includes("PRINT 1"));
  await command(page, "hard-reset");
  assert.ok((await programByte()) <= 1);
});
