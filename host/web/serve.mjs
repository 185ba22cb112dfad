// Serves a built page folder on the loopback interface (./setup web, and the
// browser tests). Node's own modules only.
//   node host/web/serve.mjs [FOLDER] [PORT]
import http from "node:http";
import fs from "node:fs/promises";
import path from "node:path";
import zlib from "node:zlib";
import { fileURLToPath } from "node:url";

const Types = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8",
  ".wasm": "application/wasm",
  ".css": "text/css; charset=utf-8",
  ".svg": "image/svg+xml",
  ".webmanifest": "application/manifest+json",
  ".png": "image/png",
};

// Files sent compressed when the browser takes it: brotli or gzip, made once
// per file and kept while the file is unchanged. A PNG is compressed already.
const Compressible = new Set([".html", ".js", ".mjs", ".wasm", ".css", ".svg", ".webmanifest"]);
const compressed = new Map(); // "path encoding" -> { mtimeMs, size, bytes }

function encodingFor(request, file) {
  if (!Compressible.has(path.extname(file))) return null;
  const accepted = String(request.headers["accept-encoding"] || "");
  if (/\bbr\b/.test(accepted)) return "br";
  if (/\bgzip\b/.test(accepted)) return "gzip";
  return null;
}

async function compressedBody(file, encoding, body) {
  const stat = await fs.stat(file);
  const key = `${file} ${encoding}`;
  const kept = compressed.get(key);
  if (kept && kept.mtimeMs === stat.mtimeMs && kept.size === stat.size) return kept.bytes;
  const bytes =
    encoding === "br"
      ? zlib.brotliCompressSync(body, { params: { [zlib.constants.BROTLI_PARAM_QUALITY]: 11 } })
      : zlib.gzipSync(body, { level: 9 });
  compressed.set(key, { mtimeMs: stat.mtimeMs, size: stat.size, bytes });
  return bytes;
}

// Resolves with { server, port, url }; port 0 picks a free port.
export function serveFolder(folder, port = 0, host = "127.0.0.1") {
  const root = path.resolve(folder);
  const server = http.createServer(async (request, response) => {
    try {
      const urlPath = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
      let file = path.resolve(root, "." + urlPath);
      if (file !== root && !file.startsWith(root + path.sep)) throw new Error("outside");
      if (urlPath.endsWith("/")) file = path.join(file, "index.html");
      let body = await fs.readFile(file);
      const headers = {
        "Content-Type": Types[path.extname(file)] || "application/octet-stream",
        "Cache-Control": "no-cache",
        Vary: "Accept-Encoding",
      };
      const encoding = encodingFor(request, file);
      if (encoding) {
        body = await compressedBody(file, encoding, body);
        headers["Content-Encoding"] = encoding;
      }
      headers["Content-Length"] = body.length;
      response.writeHead(200, headers);
      response.end(request.method === "HEAD" ? undefined : body);
    } catch {
      response.writeHead(404, { "Content-Type": "text/plain" });
      response.end("not found\n");
    }
  });
  return new Promise((resolve, reject) => {
    server.once("error", reject);
    server.listen(port, host, () => {
      const actual = server.address().port;
      resolve({ server, port: actual, url: `http://${host}:${actual}/` });
    });
  });
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const folder = process.argv[2] || "build/web";
  const port = Number(process.argv[3] || 8080);
  const { url } = await serveFolder(folder, port);
  console.log(`Orvane is served on ${url} (Ctrl+C stops)`);
}
