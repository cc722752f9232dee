// The page's service worker. The page itself comes from the network when there is one, so that
// every build reaches its visitors from any host, also one that adds to the pages it serves, and
// from this worker's cache when there is none. Every other file has a name made from its content
// (publish_site.cmake) and comes from this build's cache, filled when the worker installs, so that
// the page is never served with another build's files. Each build's cache is its own, named after
// the build and the worker's scope: a new worker never writes into the cache that the active one
// serves, and copies of the site in other folders of the origin keep theirs.
const SCOPE = `bezier2d ${self.registration.scope} `;
const CACHE = SCOPE + '@BUILD@';
// Each of the build's files but the page, with its SHA-256.
const FILES = JSON.parse('@SITE_FILES@');

const hex = buffer =>
    Array.from(new Uint8Array(buffer), byte => byte.toString(16).padStart(2, '0')).join('');

// Fetches the files past the browser's HTTP cache, which may hold an older build's as fresh, and
// keeps them only if every one is this build's, with the page as the host serves it now. A host
// caught half-deployed (this worker there, its other files not yet) gives no cache, so this
// worker does not install, and the browser tries again on a later visit.
async function fill() {
  const cache = await caches.open(CACHE);
  const filled = Promise.all(['./', ...Object.keys(FILES)].map(async file => {
    const response = await fetch(file, {cache: 'reload'});
    const body = await response.clone().arrayBuffer();
    const digest = FILES[file] && hex(await crypto.subtle.digest('SHA-256', body));
    if (!response.ok || digest != FILES[file]) throw new Error(`${file} is not of this build`);
    await cache.put(file, response);
  }));
  await filled.catch(async error => {
    await caches.delete(CACHE);
    throw error;
  });
}

self.addEventListener('install', event => event.waitUntil(fill().then(() => self.skipWaiting())));

// Drops the caches of this scope's other builds, whole or partial.
self.addEventListener('activate', event => event.waitUntil((async () => {
  for (const name of await caches.keys())
    if (name.startsWith(SCOPE) && name != CACHE) await caches.delete(name);
  await self.clients.claim();
})()));

// The page from the network, or else as this build cached it; anything else from this build's
// cache, or else from the network.
self.addEventListener('fetch', event => {
  const cached = key => caches.open(CACHE).then(cache => cache.match(key, {ignoreSearch: true}));
  // The page is asked again of the host every time, past the browser's HTTP cache.
  event.respondWith(
      event.request.mode == 'navigate' ?
          fetch(event.request, {cache: 'no-cache'}).catch(() => cached('./')) :
          cached(event.request).then(response => response || fetch(event.request)));
});
