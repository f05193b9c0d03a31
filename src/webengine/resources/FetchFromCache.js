// Fetches an address for the photo actions through the page's own network
// stack, preferring the browser cache, so a photo on view or preloaded is not
// asked of the site again. Runs in the isolated world; the program appends
// the call: ('start', url, key) begins a fetch and returns true, ('poll', '',
// key) returns 'running' while it runs and then, once, its result:
//   {ok, status, type, data}  data the body in base64
//   {error}                   no answer could be read (network, CORS, ...)
// or 'gone' when the page no longer knows the fetch (it was replaced).
(function (command, url, key) {
    'use strict';
    const store = window.__kpwFetches || (window.__kpwFetches = {});

    function base64(buffer) {
        const bytes = new Uint8Array(buffer);
        const chunk = 0x8000;
        let binary = '';
        for (let i = 0; i < bytes.length; i += chunk) {
            binary += String.fromCharCode.apply(null, bytes.subarray(i, i + chunk));
        }
        return btoa(binary);
    }

    if (command === 'start') {
        store[key] = null;
        fetch(url, {cache: 'force-cache', credentials: 'same-origin', redirect: 'follow'})
            .then(function (response) {
                return response.arrayBuffer().then(function (buffer) {
                    store[key] = {
                        ok: response.ok,
                        status: response.status,
                        type: response.headers.get('content-type') || '',
                        data: base64(buffer),
                    };
                });
            })
            .catch(function (error) {
                store[key] = {error: String(error)};
            });
        return true;
    }
    if (!(key in store)) return 'gone';
    const result = store[key];
    if (result === null) return 'running';
    delete store[key];
    return result;
})
