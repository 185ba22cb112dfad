// Files in and out of the page: downloads, base64url for program links, and a
// small IndexedDB store for what the user asks the browser to keep.

export function download(name, bytes, type = "application/octet-stream") {
  const blob = bytes instanceof Blob ? bytes : new Blob([bytes], { type });
  const url = URL.createObjectURL(blob);
  const a = document.createElement("a");
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}

export function toBase64Url(bytes) {
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

// Bytes of a base64url text, or null when it is not one.
export function fromBase64Url(text) {
  if (!/^[A-Za-z0-9_-]*$/.test(text)) return null;
  const padded = text.replace(/-/g, "+").replace(/_/g, "/") + "===".slice((text.length + 3) % 4);
  try {
    const binary = atob(padded);
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    return bytes;
  } catch {
    return null;
  }
}

export function fileExtension(name) {
  const dot = name.lastIndexOf(".");
  return dot < 0 ? "" : name.slice(dot + 1).toLowerCase();
}

// One object store of named byte arrays.
const DatabaseName = "orvane";
const StoreName = "files";

function openDatabase() {
  return new Promise((resolve, reject) => {
    const request = indexedDB.open(DatabaseName, 1);
    request.onupgradeneeded = () => request.result.createObjectStore(StoreName);
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

async function transaction(mode, fn) {
  const db = await openDatabase();
  try {
    return await new Promise((resolve, reject) => {
      const tx = db.transaction(StoreName, mode);
      const request = fn(tx.objectStore(StoreName));
      tx.oncomplete = () => resolve(request ? request.result : undefined);
      tx.onerror = () => reject(tx.error);
      tx.onabort = () => reject(tx.error);
    });
  } finally {
    db.close();
  }
}

export const stored = {
  put: (key, value) => transaction("readwrite", (s) => s.put(value, key)),
  get: (key) => transaction("readonly", (s) => s.get(key)),
  remove: (key) => transaction("readwrite", (s) => s.delete(key)),
  keys: () => transaction("readonly", (s) => s.getAllKeys()),
};

// Deflate (raw) with the browser's own streams, for short program links.
async function throughStream(bytes, stream) {
  const piped = new Blob([bytes]).stream().pipeThrough(stream);
  return new Uint8Array(await new Response(piped).arrayBuffer());
}
export const deflate = (bytes) => throughStream(bytes, new CompressionStream("deflate-raw"));
// Rejects when the bytes are not a deflate stream.
export const inflate = (bytes) => throughStream(bytes, new DecompressionStream("deflate-raw"));
