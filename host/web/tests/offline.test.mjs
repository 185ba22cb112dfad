// After the first load the page works with no server: the service worker
// keeps the page, the module and the WebAssembly binary. A program link
// (#bas=) starts the machine and runs the program it carries.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { openPage, waitForScreen, waitReady, command } from "./harness.mjs";

let session;
before(async () => {
  // A text program in the link: 10 PRINT "LINKED";3*4
  const text = '10 PRINT "LINKED";3*4\n';
  session = await openPage({ hash: "#bas=" + Buffer.from(text).toString("base64url") });
});
after(async () => {
  await session?.close();
});

test("a #bas= link with program text types it in and runs it", async () => {
  const { page } = session;
  await waitForScreen(page, /^LINKED ?12 *$/m);
});

test("Share makes a link that runs the program in memory on a fresh page", async () => {
  const { page, browser } = session;
  await page.evaluate(() => window.orvane.typeHostText('NEW\n10 PRINT "SHARED";2*21\n'));
  await page.waitForFunction(() => !window.orvane.busy());
  await command(page, "share");
  // The link is made (compressed) after the click returns.
  await page.waitForFunction(() => location.hash.startsWith("#z="));
  const link = await page.evaluate(() => location.href);
  assert.match(link, /#z=[A-Za-z0-9_-]+$/);
  const other = await browser.newPage();
  await other.goto(link);
  await waitReady(other);
  await waitForScreen(other, /^SHARED ?42 *$/m);
  await other.close();
});

test("a program link opened in the same tab runs its program", async () => {
  const { page } = session;
  const text = '10 PRINT "HASH";8*8\n';
  await page.evaluate((hash) => { location.hash = hash; }, "bas=" + Buffer.from(text).toString("base64url"));
  await waitForScreen(page, /^HASH ?64 *$/m);
});

test("a link that is not base64url is refused with a message", async () => {
  const { browser, served } = session;
  const other = await browser.newPage();
  await other.goto(served.url + "#bas=not*base64");
  await waitReady(other);
  await other.waitForFunction(() => document.getElementById("status-message").textContent.includes("not readable"));
  await other.close();
});

test("a ROM image picked by the user stays in the browser when they agree", async () => {
  const { page } = session;
  // A DOS image of our own bytes, recognised by its name; the open firmware
  // does not call it, so the machine boots as before.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), "orvane-rom-"));
  const rom = path.join(folder, "ufddos.rom");
  fs.writeFileSync(rom, Buffer.alloc(4096, 0xff));
  const questions = [];
  const answer = async (dialog) => {
    questions.push(dialog.message());
    await dialog.accept();
  };
  page.on("dialog", answer);
  try {
    const [chooser] = await Promise.all([page.waitForFileChooser(), command(page, "rom")]);
    await chooser.accept([rom]);
    await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("ufddos.rom is kept in this browser"));
    assert.match(await page.evaluate(() => window.orvane.machine.romDescription()), /UFDDOS image ufddos\.rom/);
    assert.match(questions[0], /Keep ufddos\.rom in this browser/);
    // Kept: a reload installs it again before the machine starts.
    await page.reload();
    await waitReady(page);
    assert.match(await page.evaluate(() => window.orvane.machine.romDescription()), /UFDDOS image ufddos\.rom/);
    await waitForScreen(page, "ORVANE BASIC");
  } finally {
    page.off("dialog", answer);
    fs.rmSync(folder, { recursive: true, force: true });
  }
});

test("the page loads and boots with the server gone", async () => {
  const { page, served } = session;
  await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    if (!navigator.serviceWorker.controller)
      await new Promise((resolve) => navigator.serviceWorker.addEventListener("controllerchange", resolve, { once: true }));
  });
  served.server.closeAllConnections();
  await new Promise((resolve) => served.server.close(resolve));
  await page.setOfflineMode(true);
  await page.bringToFront(); // the other tabs hid it
  await page.goto(served.url);
  await waitReady(page);
  await waitForScreen(page, "ORVANE BASIC");
  await page.focus("#screen");
  await page.keyboard.type("PRINT 2+2", { delay: 20 });
  await page.keyboard.press("Enter");
  await waitForScreen(page, /^ ?4 *$/m);
});
