// Keeps the page's files for offline use. The list and the version are
// written at build time; a new version replaces the old cache.
const Version = "@VERSION@";
const CacheName = "orvane-" + Version;
const Files = [
  "./",
@FILES@];

self.addEventListener("install", (event) => {
  event.waitUntil(caches.open(CacheName).then((cache) => cache.addAll(Files)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(
    caches.keys()
      .then((names) => Promise.all(names.filter((n) => n.startsWith("orvane-") && n !== CacheName).map((n) => caches.delete(n))))
      .then(() => self.clients.claim()));
});

// The page's own files from the cache (the page itself for any navigation),
// everything else from the network as usual.
self.addEventListener("fetch", (event) => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(
    caches.open(CacheName).then(async (cache) => {
      const key = request.mode === "navigate" ? "./" : request;
      const hit = await cache.match(key, { ignoreSearch: true });
      return hit || fetch(request);
    }));
});
