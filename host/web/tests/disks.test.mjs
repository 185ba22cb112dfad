// The page's disk drives: a new blank disk written by the machine (a BASIC
// line driving the disk card's ports), kept in the browser across a reload,
// downloaded as written, refused by the drive's write-protect switch, and
// downloaded when it is ejected.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { openPageWithDownloads, waitForScreen, waitReady, waitIdle, command, message } from "./harness.mjs";

let session;
before(async () => {
  session = await openPageWithDownloads();
});
after(async () => {
  await session?.close();
});

const downloaded = (name, timeout) => session.downloaded(name, timeout);

// Writes one sector of `fill` to DR0 and prints the card's status and error.
async function writeSector(page, sector, fill) {
  const line =
    `OUT 1,45:OUT 0,12:OUT 0,0:OUT 0,${sector >> 3}:OUT 0,${(sector & 7) * 32}:` +
    `FOR I=1 TO 256:OUT 0,${fill}:NEXT I:FOR J=1 TO 5:S=INP(1):NEXT J:PRINT "ST";S;INP(0)`;
  await page.evaluate((text) => window.orvane.typeHostText(text), "CLS\n" + line + "\n");
  await waitIdle(page);
  return waitForScreen(page, /ST \d+ +\d+/);
}

const blankWith = (sectors) => {
  const image = Buffer.from(fresh);
  for (const [sector, fill] of sectors) image.fill(fill, sector * 256, sector * 256 + 256);
  return image;
};
const statusDisks = (page) => page.$eval("#status-disks", (e) => e.textContent);

let fresh; // the new disk as made: formatted for the open DOS

test("a new disk is written by the machine, kept across a reload and downloaded as written", async () => {
  const { page } = session;
  await command(page, "new-disk");
  await page.waitForFunction(() => document.getElementById("status-disks").textContent === "DR0: disk1.dsk");
  await command(page, "save-disks");
  fresh = await downloaded("disk1.dsk");
  assert.equal(fresh.length, 163840);
  assert.equal(fresh.subarray(0, 8).toString("latin1"), "ORVANEDK");
  assert.match(await writeSector(page, 2, 66), /ST 129 +0/);

  // Kept in the browser within a second: a reload puts it back into DR0.
  await new Promise((r) => setTimeout(r, 1200));
  await page.reload();
  await waitReady(page);
  await page.waitForFunction(() => document.getElementById("status-disks").textContent === "DR0: disk1.dsk");
  await waitForScreen(page, "ORVANE BASIC");
  await command(page, "save-disks");
  assert.ok((await downloaded("disk1.dsk")).equals(blankWith([[2, 0x42]])), "sector 2 written, the rest as made");
});

test("the write-protect switch refuses writes with error 64 and ejecting a disk downloads it", async () => {
  const { page } = session;
  await command(page, "protect-dr0");
  assert.equal(await statusDisks(page), "DR0: disk1.dsk (WP)");
  assert.match(await writeSector(page, 3, 67), /ST 137 +64/);
  await command(page, "protect-dr0");
  assert.equal(await statusDisks(page), "DR0: disk1.dsk");

  await command(page, "eject-dr0");
  assert.ok((await downloaded("disk1.dsk")).equals(blankWith([[2, 0x42]])), "sector 3 refused");
  assert.equal(await message(page), "disk1.dsk ejected from DR0 and downloaded as it stood.");
  assert.equal(await statusDisks(page), "");
  // Ejected disks are no longer kept.
  await page.reload();
  await waitReady(page);
  await waitForScreen(page, "ORVANE BASIC");
  assert.equal(await statusDisks(page), "");
});
