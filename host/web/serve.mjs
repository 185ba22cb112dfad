// Serves a built page folder on the loopback interface (./setup web, and the
// browser tests). Node's own modules only.
//   node host/web/serve.mjs [FOLDER] [PORT]
import http from "node:http";
import fs from "node:fs/promises";
import path from "node:path";
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

// Resolves with { server, port, url }; port 0 picks a free port.
export function serveFolder(folder, port = 0, host = "127.0.0.1") {
  const root = path.resolve(folder);
  const server = http.createServer(async (request, response) => {
    try {
      const urlPath = decodeURIComponent(new URL(request.url, "http://localhost").pathname);
      let file = path.resolve(root, "." + urlPath);
      if (!file.startsWith(root)) throw new Error("outside");
      if (urlPath.endsWith("/")) file = path.join(file, "index.html");
      const body = await fs.readFile(file);
      response.writeHead(200, {
        "Content-Type": Types[path.extname(file)] || "application/octet-stream",
        "Cache-Control": "no-cache",
      });
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
