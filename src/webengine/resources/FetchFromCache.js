// Reads a photo the browser cache holds, for the photo fetcher, in pieces of
// at most `limit` bytes, so neither the page nor the program ever holds it
// whole. Only the cache is asked: what it does not hold is fetched by the
// program's download, which goes to disk as it arrives. Runs in the isolated
// world; the program appends the call (command, url, key, limit):
//   ('start', url, key, limit)  begins and returns true
//   ('poll', '', key)           'waiting' until the answer has begun, then
//                               {status, type, total, data, done}: data the
//                               bytes read since the last poll in base64,
//                               done once they were the last; or {error}
//                               when the cache cannot serve it
//   ('cancel', '', key)         gives it up
// A key the page does not know (it was replaced) gives 'gone'.
(function (command, url, key, limit) {
    'use strict';
    const store = window.__kpwFetches || (window.__kpwFetches = {});

    // Takes at most `limit` bytes from the entry, splitting a part if need be.
    function take(entry) {
        const taken = [];
        let size = 0;
        while (entry.parts.length > 0 && size < entry.limit) {
            let part = entry.parts[0];
            if (size + part.length > entry.limit) {
                entry.parts[0] = part.subarray(entry.limit - size);
                part = part.subarray(0, entry.limit - size);
            } else {
                entry.parts.shift();
            }
            taken.push(part);
            size += part.length;
        }
        entry.size -= size;
        return size > 0 ? base64(taken, size) : '';
    }

    function base64(parts, size) {
        const bytes = new Uint8Array(size);
        let at = 0;
        for (const part of parts) {
            bytes.set(part, at);
            at += part.length;
        }
        const chunk = 0x8000;
        let binary = '';
        for (let i = 0; i < bytes.length; i += chunk) {
            binary += String.fromCharCode.apply(null, bytes.subarray(i, i + chunk));
        }
        return btoa(binary);
    }

    // Reads on until two pieces wait, so the next poll finds a full one; the
    // stream holds back the rest (one read may bring more).
    function pump(entry) {
        if (entry.reading || entry.done || entry.error !== undefined ||
            entry.size >= 2 * entry.limit) {
            return;
        }
        entry.reading = true;
        entry.reader.read().then(function (part) {
            entry.reading = false;
            if (part.done) {
                entry.done = true;
                return;
            }
            entry.parts.push(part.value);
            entry.size += part.value.length;
            pump(entry);
        }, function (error) {
            entry.reading = false;
            entry.error = String(error);
        });
    }

    if (command === 'start') {
        const controller = new AbortController();
        const entry = {controller: controller, parts: [], size: 0, limit: Math.max(1, limit)};
        store[key] = entry;
        fetch(url, {
            cache: 'only-if-cached',
            mode: 'same-origin',
            credentials: 'same-origin',
            redirect: 'follow',
            signal: controller.signal,
        }).then(function (response) {
            if (!response.ok || !response.body) {
                entry.error = 'HTTP ' + response.status;
                return;
            }
            entry.head = {
                status: response.status,
                type: response.headers.get('content-type') || '',
                total: response.headers.get('content-length') || '',
            };
            entry.reader = response.body.getReader();
            pump(entry);
        }).catch(function (error) {
            entry.error = String(error);
        });
        return true;
    }
    const entry = store[key];
    if (!entry) return 'gone';
    if (command === 'cancel') {
        delete store[key];
        entry.controller.abort();
        return true;
    }
    if (entry.error !== undefined) {
        delete store[key];
        return {error: entry.error};
    }
    if (!entry.head) return 'waiting';
    const answer = {
        status: entry.head.status,
        type: entry.head.type,
        total: entry.head.total,
        data: take(entry),
        done: false,
    };
    answer.done = entry.done && entry.parts.length === 0;
    if (answer.done) {
        delete store[key];
    } else {
        pump(entry);
    }
    return answer;
})
