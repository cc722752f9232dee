// The page's service worker: keeps the site's files in a cache named after their content and
// serves them from there, so that a page opened once starts again without a network. A new build
// comes with another cache name, so its worker replaces the old one and drops the old cache.
const CACHE = 'bezier2d-@SITE_HASH@';
const FILES = ['./', ...JSON.parse('@SITE_FILES@')];

self.addEventListener('install', event => {
  event.waitUntil(
      caches.open(CACHE).then(cache => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
  event.waitUntil(caches.keys()
                      .then(
                          names => Promise.all(
                              names.filter(name => name != CACHE).map(name => caches.delete(name))))
                      .then(() => self.clients.claim()));
});

self.addEventListener('fetch', event => {
  event.respondWith(caches.match(event.request, {ignoreSearch: true})
                        .then(cached => cached || fetch(event.request)));
});
