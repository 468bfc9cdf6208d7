// A service worker for hosts that cannot send the isolation headers (a plain
// static host): it fetches the site's files itself and hands them to the page
// with Cross-Origin-Opener-Policy and Cross-Origin-Embedder-Policy added, so
// that from its second load the page is cross-origin isolated and the
// viewer's worker threads can share memory. page.js registers it only where
// the server did not isolate the page.
'use strict';

self.addEventListener('install', () => self.skipWaiting());
self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const request = event.request;
  // A request the browser may only answer from its cache is not ours to make.
  if (request.cache === 'only-if-cached' && request.mode !== 'same-origin') return;
  event.respondWith(fetch(request).then((response) => {
    if (response.status === 0) return response;
    const headers = new Headers(response.headers);
    headers.set('Cross-Origin-Opener-Policy', 'same-origin');
    headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
    headers.set('Cross-Origin-Resource-Policy', 'same-origin');
    return new Response(response.body,
                        { status: response.status, statusText: response.statusText, headers });
  }));
});
