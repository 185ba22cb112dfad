// The page server of ./setup web: the page's files with the types browsers
// need for modules and WebAssembly, and nothing from outside its folder.
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
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
