// The page's service worker: keeps one build's files in a cache named after their content and
// serves them from there, so that a page opened once starts again without a network, and never
// with the files of two builds. A new build comes with another worker, which caches its own files
// and, once it has them all, takes over and drops the old cache: a returning visitor gets the new
// build on the next visit.
const CACHE = 'bezier2d-@SITE_HASH@';
// Each of the build's files with its SHA-256 ('./' is index.html).
const FILES = JSON.parse('@SITE_FILES@');

const hex = buffer =>
    Array.from(new Uint8Array(buffer), byte => byte.toString(16).padStart(2, '0')).join('');

// Fetches the files past the browser's HTTP cache, which may hold an older build's as fresh, and
// keeps them only if every one is this build's. A host caught half-deployed (this worker there,
// other files not yet) gives no cache, so this worker does not install, and the browser tries
// again on a later visit.
async function fill() {
  const cache = await caches.open(CACHE);
  try {
    await Promise.all(Object.entries(FILES).map(async ([file, digest]) => {
      const response = await fetch(file, {cache: 'reload'});
      const body = await response.clone().arrayBuffer();
      if (!response.ok || hex(await crypto.subtle.digest('SHA-256', body)) != digest)
        throw new Error(`${file} is not of this build`);
      await cache.put(file, response);
    }));
  } catch (error) {
    await caches.delete(CACHE);
    throw error;
  }
}

self.addEventListener('install', event => {
  event.waitUntil(fill().then(() => self.skipWaiting()));
});

// Drops the caches of other builds, whole or partial.
self.addEventListener('activate', event => {
  const others = names => names.filter(name => name.startsWith('bezier2d-') && name != CACHE);
  event.waitUntil(caches.keys()
                      .then(names => Promise.all(others(names).map(name => caches.delete(name))))
                      .then(() => self.clients.claim()));
});

// This build's files from its own cache; anything else from the network.
self.addEventListener('fetch', event => {
  event.respondWith(caches.open(CACHE)
                        .then(cache => cache.match(event.request, {ignoreSearch: true}))
                        .then(cached => cached || fetch(event.request)));
});
