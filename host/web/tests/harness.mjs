// Shared parts of the browser tests: the built page served on a loopback
// port, Debian's chromium started headless with a fresh profile, and helpers
// that wait for the machine.
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";
import { serveFolder } from "../serve.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
export const PageFolder = process.env.ORVANE_WEB_PAGE || path.resolve(here, "../../../build/web");
const Chromium = process.env.CHROMIUM || "/usr/bin/chromium";

// language: what the browser says it speaks ("sv-SE"), or its own.
export async function openPage({ hash = "", language = "" } = {}) {
  const served = await serveFolder(PageFolder);
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "orvane-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: Chromium,
    headless: true,
    userDataDir: profile,
    args: [
      "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync",
      "--autoplay-policy=user-gesture-required",
    ],
  });
  const page = await browser.newPage();
  const log = [];
  page.on("console", (message) => log.push(message.text()));
  page.on("pageerror", (error) => log.push("page error: " + error.message));
  await page.setViewport({ width: 1024, height: 800 });
  if (language)
    await page.evaluateOnNewDocument((language) => {
      Object.defineProperty(navigator, "language", { get: () => language });
      Object.defineProperty(navigator, "languages", { get: () => [language] });
    }, language);
  await page.goto(served.url + hash);
  await waitReady(page).catch(async (error) => {
    await browser.close();
    served.server.close();
    fs.rmSync(profile, { recursive: true, force: true });
    throw new Error(`the page did not start: ${error.message}\n${log.join("\n")}`);
  });
  const session = {
    browser, page, log, served,
    async close() {
      await browser.close();
      served.server.close();
      fs.rmSync(profile, { recursive: true, force: true });
    },
  };
  return session;
}

// A page whose downloads land in a folder of the test's own, and the
// machine booted. downloaded(name) waits for the finished file and returns
// its bytes, removing it so that a later download gets the same name.
export async function openPageWithDownloads(options = {}) {
  const session = await openPage(options);
  const downloads = fs.mkdtempSync(path.join(os.tmpdir(), "orvane-downloads-"));
  const cdp = await session.page.createCDPSession();
  await cdp.send("Browser.setDownloadBehavior", { behavior: "allow", downloadPath: downloads });
  await waitForScreen(session.page, "ORVANE BASIC");
  const close = session.close;
  session.close = async () => {
    await close();
    fs.rmSync(downloads, { recursive: true, force: true });
  };
  session.downloaded = async (name, timeout = 20000) => {
    const file = path.join(downloads, name);
    const end = Date.now() + timeout;
    while (Date.now() < end) {
      if (fs.existsSync(file) && !fs.existsSync(file + ".crdownload")) {
        const bytes = fs.readFileSync(file);
        fs.rmSync(file);
        return bytes;
      }
      await new Promise((r) => setTimeout(r, 100));
    }
    throw new Error(`no download ${name}`);
  };
  return session;
}

export async function waitReady(page) {
  await page.waitForFunction(() => window.orvane && window.orvane.ready, { timeout: 30000 });
}

export const screenText = (page) => page.evaluate(() => window.orvane.machine.screenText());

// Waits until the screen shows a line that matches; returns the screen text.
export async function waitForScreen(page, pattern, timeout = 20000) {
  const regex = pattern instanceof RegExp ? pattern : new RegExp(pattern.replace(/[.*+?^${}()|[\]\\]/g, "\\$&"));
  const end = Date.now() + timeout;
  let text = "";
  while (Date.now() < end) {
    text = await screenText(page);
    if (regex.test(text)) return text;
    await new Promise((r) => setTimeout(r, 100));
  }
  throw new Error(`screen never showed ${regex}; it shows:\n${text}`);
}

// Waits until the machine has typed everything, then ten frames more for
// BASIC to act on the last key.
export async function waitIdle(page, timeout = 20000) {
  await page.waitForFunction(() => !window.orvane.busy(), { timeout });
  const settled = (await page.evaluate(() => window.orvane.machine.cycles())) + 10 * 59904;
  await page.waitForFunction((c) => window.orvane.machine.cycles() >= c, { timeout }, settled);
}

// Drops a file on the screen as the user's file manager would.
export async function dropFile(page, name, bytes) {
  await page.evaluate(
    (name, data) => {
      const file = new File([new Uint8Array(data)], name);
      const transfer = new DataTransfer();
      transfer.items.add(file);
      const area = document.getElementById("screen-area");
      area.dispatchEvent(new DragEvent("dragover", { dataTransfer: transfer, bubbles: true, cancelable: true }));
      area.dispatchEvent(new DragEvent("drop", { dataTransfer: transfer, bubbles: true, cancelable: true }));
    },
    name,
    Array.from(bytes),
  );
}

// A PNG screenshot decoded to { width, height, rgba } (8-bit RGBA or RGB, no interlace).
export function decodePng(buffer) {
  let offset = 8;
  let width = 0, height = 0, colourType = 0;
  const data = [];
  while (offset < buffer.length) {
    const length = buffer.readUInt32BE(offset);
    const type = buffer.toString("ascii", offset + 4, offset + 8);
    const body = buffer.subarray(offset + 8, offset + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0) throw new Error("unexpected PNG layout");
      colourType = body[9];
    } else if (type === "IDAT") data.push(body);
    offset += 12 + length;
  }
  const channels = colourType === 6 ? 4 : colourType === 2 ? 3 : 0;
  if (!channels) throw new Error("unexpected PNG colour type " + colourType);
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const out = Buffer.alloc(height * stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? out[y * stride + x - channels] : 0;
      const b = y > 0 ? out[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? out[(y - 1) * stride + x - channels] : 0;
      let v = line[x];
      if (filter === 1) v += a;
      else if (filter === 2) v += b;
      else if (filter === 3) v += (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
        v += pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      out[y * stride + x] = v & 0xff;
    }
  }
  return { width, height, channels, pixels: out };
}

// Clicks a toolbar command as the user does, opening the More menu first
// when the command is in it.
export async function command(page, id) {
  await page.evaluate((id) => {
    const more = document.getElementById("more");
    if (more.contains(document.getElementById(id))) more.open = true;
  }, id);
  await page.click("#" + id);
}

// The last message the user reads.
export const message = (page) => page.$eval("#status-message", (e) => e.textContent);
