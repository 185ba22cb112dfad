// The page server of ./setup web: the page's files with the types browsers
// need for modules and WebAssembly, and nothing from outside its folder.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import http from "node:http";
import zlib from "node:zlib";
import { serveFolder } from "../serve.mjs";

let served;
let parent;
before(async () => {
  parent = fs.mkdtempSync(path.join(os.tmpdir(), "orvane-serve-"));
  fs.mkdirSync(path.join(parent, "web"));
  fs.mkdirSync(path.join(parent, "web2"));
  fs.writeFileSync(path.join(parent, "web", "index.html"), "<!doctype html>page");
  fs.writeFileSync(path.join(parent, "web", "orvane.wasm"), Buffer.from([0, 0x61, 0x73, 0x6d]));
  fs.writeFileSync(path.join(parent, "web", "orvane.mjs"), "export default 1;");
  fs.writeFileSync(path.join(parent, "web2", "secret.txt"), "not for the page");
  fs.writeFileSync(path.join(parent, "secret.txt"), "not for the page");
  served = await serveFolder(path.join(parent, "web"));
});
after(() => {
  served?.server.close();
  if (parent) fs.rmSync(parent, { recursive: true, force: true });
});

test("the page's files come with their types, the folder gives its index", async () => {
  const get = (p) => fetch(served.url + p);
  assert.equal(await (await get("")).text(), "<!doctype html>page");
  assert.equal((await get("orvane.wasm")).headers.get("content-type"), "application/wasm");
  assert.match((await get("orvane.mjs")).headers.get("content-type"), /^text\/javascript/);
  assert.equal((await get("missing.js")).status, 404);
});

test("nothing outside the folder is served, however the path is written", async () => {
  for (const p of ["../secret.txt", "%2e%2e/secret.txt", "..%2fsecret.txt", "%2e%2e%2fweb2/secret.txt", "../web2/secret.txt"]) {
    const response = await fetch(served.url + p);
    assert.equal(response.status, 404, p);
    assert.doesNotMatch(await response.text(), /not for the page/, p);
  }
});

// The raw response, as a browser that names its encodings gets it.
function getRaw(url, headers) {
  return new Promise((resolve, reject) => {
    http.get(url, { headers }, (response) => {
      const parts = [];
      response.on("data", (d) => parts.push(d));
      response.on("end", () => resolve({ headers: response.headers, body: Buffer.concat(parts) }));
    }).on("error", reject);
  });
}

test("the page goes compressed to a browser that takes it, and as it is to one that does not", async () => {
  const script = path.join(parent, "web", "main.js");
  fs.writeFileSync(script, "// the page\n".repeat(500));
  const original = fs.readFileSync(script);
  const brotli = await getRaw(served.url + "main.js", { "Accept-Encoding": "gzip, deflate, br" });
  assert.equal(brotli.headers["content-encoding"], "br");
  assert.ok(brotli.body.length < original.length / 10);
  assert.ok(zlib.brotliDecompressSync(brotli.body).equals(original));
  const gzip = await getRaw(served.url + "main.js", { "Accept-Encoding": "gzip" });
  assert.equal(gzip.headers["content-encoding"], "gzip");
  assert.ok(zlib.gunzipSync(gzip.body).equals(original));
  const plain = await getRaw(served.url + "main.js", {});
  assert.equal(plain.headers["content-encoding"], undefined);
  assert.ok(plain.body.equals(original));
  // A changed file is compressed afresh, never served from the old copy.
  fs.writeFileSync(script, "// changed\n".repeat(700));
  const changed = await getRaw(served.url + "main.js", { "Accept-Encoding": "br" });
  assert.ok(zlib.brotliDecompressSync(changed.body).equals(fs.readFileSync(script)));
});

test("the built page weighs under 400 KiB as built", { skip: !process.env.ORVANE_WEB_PAGE && "no built page named" }, () => {
  const folder = process.env.ORVANE_WEB_PAGE;
  let total = 0;
  for (const name of fs.readdirSync(folder)) total += fs.statSync(path.join(folder, name)).size;
  assert.ok(fs.existsSync(path.join(folder, "orvane.wasm")), "the page is built");
  assert.ok(total < 400 * 1024, `${(total / 1024).toFixed(0)} KiB`);
});
