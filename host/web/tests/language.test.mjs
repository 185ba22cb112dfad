// The page in Swedish for a Swedish browser, English for others, and the
// choice in the More menu kept across reloads: every text the user reads,
// toolbar, menus, help and messages, comes from the table, none is left
// in English.
import { test, after } from "node:test";
import assert from "node:assert/strict";
import { openPage, waitForScreen, waitReady, dropFile, command, message } from "./harness.mjs";

const sessions = [];
after(async () => {
  for (const session of sessions) await session.close();
});

async function open(options) {
  const session = await openPage(options);
  sessions.push(session);
  await waitForScreen(session.page, "ORVANE BASIC");
  return session;
}

// Opens everything that holds texts: the More menu and the help panel.
async function showEverything(page) {
  await page.evaluate(() => {
    document.getElementById("more").open = true;
    document.getElementById("help-panel").show();
  });
}

test("a Swedish browser reads the page in Swedish, every text of it", async () => {
  const { page } = await open({ language: "sv-SE" });
  await showEverything(page);
  assert.equal(await page.$eval("#open", (e) => e.textContent), "Öppna…");
  assert.equal(await page.$eval("#reset", (e) => e.title), "Återställ (F1)");
  assert.equal(await page.evaluate(() => document.documentElement.lang), "sv");

  // Failures the user meets, with the causes, in Swedish too.
  await dropFile(page, "garbage.bac", Buffer.from("not a program at all"));
  assert.match(await message(page), /^Kan inte läsa in garbage\.bac: /);
  await dropFile(page, "empty.wav", Buffer.alloc(0));
  assert.equal(await message(page), "Kan inte läsa in empty.wav: tom fil.");
  await dropFile(page, "notes.txt", Buffer.from("hello"));
  assert.equal(await message(page), "notes.txt är inte en .atp-, .bac-, .bas-, .wav-, .dsk- eller .img-fil.");

  assert.deepEqual(await page.evaluate(() => window.orvane.untranslated()), []);
});

test("English stays English, and the choice in the More menu lasts across a reload", async () => {
  const { page } = await open({ language: "en-GB" });
  assert.equal(await page.$eval("#open", (e) => e.textContent), "Open…");
  await command(page, "language");
  await page.select("#language", "sv");
  assert.equal(await page.$eval("#open", (e) => e.textContent), "Öppna…");
  assert.equal(await page.$eval("#language option[value=en]", (e) => e.textContent), "English");

  await page.reload();
  await waitReady(page);
  assert.equal(await page.$eval("#open", (e) => e.textContent), "Öppna…");
  assert.equal(await page.$eval("#language", (e) => e.value), "sv");

  await page.select("#language", "en");
  assert.equal(await page.$eval("#open", (e) => e.textContent), "Open…");
  assert.equal(await page.$eval("#reset", (e) => e.title), "Reset (F1)");
});
