// SPDX-License-Identifier: MIT
// The page's service worker: keeps one build of the page in a cache named for
// that build and answers the page's requests from it, so that after one visit
// the editor opens with no network. A new build installs beside the running
// one and waits; only the page says when it may take over (nothing unsaved,
// the user agreed), then the old build's caches go.
"use strict";
const build = "__BUILD__";
const cachename = `tessaron-${build}`;
const files = ["index.html", "app.js", "webcore.js", "webcore.wasm", "tiles.png", "style.css",
  "manifest.webmanifest", "icon.png", "icon-192.png", "icon-512.png"];

self.addEventListener("install", (event) => {
  // Fetched past the HTTP cache, so the cache holds exactly this build.
  event.waitUntil(caches.open(cachename).then((c) => c.addAll(files.map((f) => new Request(f, { cache: "reload" })))));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys().then((keys) =>
    Promise.all(keys.filter((k) => k.startsWith("tessaron-") && k !== cachename).map((k) => caches.delete(k)))));
});

self.addEventListener("message", (event) => {
  if (event.data === "takeover") self.skipWaiting();
});

self.addEventListener("fetch", (event) => {
  const req = event.request;
  if (req.method !== "GET" || new URL(req.url).origin !== self.location.origin) return;
  // Every page of the scope is the editor's page; the other files by name.
  const key = req.mode === "navigate" ? new URL("index.html", self.registration.scope).href : req.url;
  event.respondWith(caches.open(cachename)
    .then((c) => c.match(key, { ignoreSearch: true }))
    .then((hit) => hit ?? fetch(req)));
});
