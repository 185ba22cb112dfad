// Files dropped on the page load and run, and the page's downloads are files
// that load back: a BAS text, a BAC saved by the Save BAC button, an ATP tape
// image made from the program in memory, and a WAV tape recorded from the
// firmware's SAVE CAS: and played back through the cassette input.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { openPageWithDownloads, waitForScreen, waitIdle, dropFile, command } from "./harness.mjs";

let session;
before(async () => {
  session = await openPageWithDownloads();
});
after(async () => {
  await session?.close();
});

const downloaded = (name, timeout) => session.downloaded(name, timeout);

async function enterProgram(page, lines) {
  await page.evaluate((text) => window.orvane.typeHostText(text), "NEW\n" + lines.join("\n") + "\n");
  await waitIdle(page);
}

async function hardReset(page) {
  await command(page, "hard-reset");
  await waitForScreen(page, /BYTES FREE/);
  const program = await page.evaluate(() => window.orvane.machine.memory()[0x8000]);
  return program;
}

test("a dropped BAS text is typed in and run", async () => {
  const { page } = session;
  await dropFile(page, "sum.bas", Buffer.from("10 PRINT 123+654\r20 PRINT \"BAS DONE\"\r"));
  const text = await waitForScreen(page, /^BAS DONE *$/m);
  assert.match(text, /^ ?777 *$/m);
});

test("the Save BAC download loads back by drop and runs", async () => {
  const { page } = session;
  await enterProgram(page, ['10 PRINT "BAC";7*11']);
  await command(page, "save-bac");
  const bac = await downloaded("program.bac");
  assert.equal(bac[0], 0x82, "a BAC file starts with its marker");
  await hardReset(page);
  await dropFile(page, "program.bac", bac);
  await waitForScreen(page, /^BAC ?77 *$/m);
});

// An ATP image of the program in memory: a header block, then the program
// behind the 82h marker in 253-byte data blocks, each block behind its
// lead-in, sync and start bytes and followed by end byte and checksum.
function atpImage(program) {
  const stream = [0x82, ...program];
  while (stream.length % 253) stream.push(0);
  const out = [];
  const block = (data, leadIn) => {
    for (let i = 0; i < leadIn; i++) out.push(0);
    out.push(0x16, 0x16, 0x16, 0x02, ...data, 0x03);
    const sum = data.reduce((a, b) => a + b, 0x03);
    out.push(sum & 0xff, (sum >> 8) & 0xff);
  };
  const header = new Array(256).fill(0x20);
  header.splice(0, 3, 0xff, 0xff, 0xff);
  block(header, 0);
  for (let k = 0; k * 253 < stream.length; k++)
    block([0x00, k & 0xff, k >> 8, ...stream.slice(k * 253, k * 253 + 253)], 16);
  return Buffer.from(out);
}

test("a dropped ATP tape image loads and runs", async () => {
  const { page } = session;
  const lines = ['10 PRINT "ATP";5*5'];
  for (let i = 2; i < 40; i++) lines.push(`${i * 10} REM A LINE TO FILL SEVERAL TAPE BLOCKS ${i}`);
  await enterProgram(page, lines);
  const program = await page.evaluate(() => {
    const m = window.orvane.machine.memory();
    const end = m[0xfe1e] | (m[0xfe1f] << 8);
    return Array.from(m.subarray(0x8000, end));
  });
  assert.ok(program.length > 600, "the program fills several blocks");
  await hardReset(page);
  await dropFile(page, "program.atp", atpImage(program));
  await waitForScreen(page, /^ATP ?25 *$/m);
  const loaded = await page.evaluate((n) => Array.from(window.orvane.machine.memory().subarray(0x8000, 0x8000 + n)), program.length);
  assert.deepEqual(loaded, program);
});

test("a tape recorded from SAVE CAS: plays back through the cassette input", async () => {
  const { page } = session;
  await enterProgram(page, ['10 PRINT "WAV";6*6', "20 REM RECORDED AND PLAYED BACK"]);
  await command(page, "record-tape");
  await page.evaluate(() => window.orvane.typeHostText("SAVE CAS:DEMO\n"));
  const wav = await downloaded("recording.wav", 60000);
  assert.equal(wav.toString("ascii", 0, 4), "RIFF");
  assert.ok(wav.length > 10000, "the recording holds the signal");
  await hardReset(page);
  await dropFile(page, "tape.wav", wav);
  // Fast tape runs the tape without limit until the motor stops; the status
  // line says so and shows the tape counter meanwhile.
  await waitForScreen(page, /LOAD CAS:/);
  await page.waitForFunction(() => document.getElementById("status-message").textContent.startsWith("Fast tape"), { timeout: 20000 });
  await page.waitForFunction(() => /\d/.test(document.getElementById("status-tape").textContent), { timeout: 20000 });
  // A dropped tape is run once LOAD CAS: has read it.
  await waitForScreen(page, /^WAV ?36 *$/m, 60000);
});

test("Save BAC with no program says why and downloads nothing", async () => {
  const { page } = session;
  await hardReset(page);
  await page.evaluate(() => window.orvane.typeHostText("NEW\n"));
  await waitIdle(page);
  await command(page, "save-bac");
  await page.waitForFunction(() => document.getElementById("status-message").textContent === "The program could not be saved: no program in memory.");
});

test("a file of another kind is refused with a message", async () => {
  const { page } = session;
  await dropFile(page, "notes.txt", Buffer.from("hello"));
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("not an .atp"));
});

test("a dropped disk image is attached, named in the status line and saved back", async () => {
  const { page } = session;
  const image = Buffer.alloc(163840); // one side, 40 tracks of 8 sectors of 512 bytes
  for (let i = 0; i < image.length; i++) image[i] = (i * 7 + (i >> 9)) & 0xff;
  await dropFile(page, "work.dsk", image);
  await page.waitForFunction(() => document.getElementById("status-disks").textContent === "DR0: work.dsk");
  await command(page, "save-disks");
  assert.ok((await downloaded("work.dsk")).equals(image), "the saved image is the attached one");

  // An image of no known size is refused and leaves the drives as they were.
  await dropFile(page, "odd.img", Buffer.alloc(1000));
  await page.waitForFunction(() => document.getElementById("status-message").textContent.includes("Error attaching disk image! Drive DR1 - odd.img: size of 1000 bytes is no disk format."));
  assert.equal(await page.$eval("#status-disks", (e) => e.textContent), "DR0: work.dsk");
});
