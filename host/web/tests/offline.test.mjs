// After the first load the page works with no server: the service worker
// keeps the page, the module and the WebAssembly binary. A program link
// (#bas=) starts the machine and runs the program it carries.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { openPage, waitForScreen, waitReady } from "./harness.mjs";

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
  await page.click("#share");
  const link = await page.evaluate(() => location.href);
  assert.match(link, /#bas=[A-Za-z0-9_-]+$/);
  const other = await browser.newPage();
  await other.goto(link);
  await waitReady(other);
  await waitForScreen(other, /^SHARED ?42 *$/m);
  await other.close();
});

test("a link that is not base64url is refused with a message", async () => {
  const { browser, served } = session;
  const other = await browser.newPage();
  await other.goto(served.url + "#bas=not*base64");
  await waitReady(other);
  await other.waitForFunction(() => document.getElementById("status-message").textContent.includes("not readable"));
  await other.close();
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
