// Reads the body of the top-level document for the page analysis: its markup
// in the legacy serialised form and its rendered text. Runs in an isolated
// world, so scripts of the page cannot change what it sees of the DOM API.
//
// The legacy form: upper-case tag names, attribute names as the document holds
// them, attribute values bare when they are non-empty and only ASCII letters,
// digits, '-', '_', '.', otherwise in double quotes; void elements have no end
// tag. The analysis matches patterns such as <P id=author> against this text.
//
// Both are cut to 4 MiB characters: what the analysis looks for sits near the
// start of a page, and a page of any size must not cost the program its size
// again in copies.
(function () {
    'use strict';

    const LIMIT = 4 * 1024 * 1024;

    const ELEMENT = 1;
    const TEXT = 3;
    const CDATA = 4;
    const PROCESSING_INSTRUCTION = 7;
    const COMMENT = 8;

    const voidElements = new Set([
        'AREA', 'BASE', 'BASEFONT', 'BGSOUND', 'BR', 'COL', 'EMBED', 'FRAME', 'HR', 'IMG',
        'INPUT', 'KEYGEN', 'LINK', 'META', 'PARAM', 'SOURCE', 'TRACK', 'WBR',
    ]);
    // Their text is written as it stands, as the parser reads it back unescaped.
    const rawTextElements = new Set([
        'IFRAME', 'NOEMBED', 'NOFRAMES', 'NOSCRIPT', 'PLAINTEXT', 'SCRIPT', 'STYLE', 'XMP',
    ]);
    const bareValue = /^[A-Za-z0-9._-]+$/;

    function tagName(element) {
        return (element.prefix ? element.prefix + ':' : '') + element.localName.toUpperCase();
    }

    function escapeText(text) {
        return text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;')
            .replace(/\u00a0/g, '&nbsp;');
    }

    function attributeValue(value) {
        if (bareValue.test(value)) {
            return value;
        }
        return '"' + value.replace(/&/g, '&amp;').replace(/"/g, '&quot;') + '"';
    }

    function startTag(element, name) {
        let tag = '<' + name;
        for (const attribute of element.attributes) {
            tag += ' ' + attribute.name + '=' + attributeValue(attribute.value);
        }
        return tag + '>';
    }

    function childrenOf(element) {
        // A template's children live in its content fragment.
        return element.localName === 'template' && element.content
            ? element.content.childNodes : element.childNodes;
    }

    // Iterative, so a deeply nested document cannot exhaust the call stack.
    function serialise(root) {
        const out = [];
        let length = 0;
        const push = (part) => { out.push(part); length += part.length; };
        const pending = [{ node: root, closing: false }];
        while (pending.length > 0 && length <= LIMIT) {
            const { node, closing } = pending.pop();
            if (closing) {
                push('</' + tagName(node) + '>');
                continue;
            }
            switch (node.nodeType) {
            case ELEMENT: {
                const name = tagName(node);
                push(startTag(node, name));
                if (voidElements.has(name)) {
                    break;
                }
                pending.push({ node: node, closing: true });
                const children = childrenOf(node);
                for (let i = children.length - 1; i >= 0; --i) {
                    pending.push({ node: children[i], closing: false });
                }
                break;
            }
            case TEXT: {
                const parent = node.parentNode;
                const raw = parent && parent.nodeType === ELEMENT &&
                    rawTextElements.has(tagName(parent));
                const data = node.data.length > LIMIT ? node.data.slice(0, LIMIT) : node.data;
                push(raw ? data : escapeText(data));
                break;
            }
            case CDATA:
                push(escapeText(node.data));
                break;
            case COMMENT:
                push('<!--' + node.data + '-->');
                break;
            case PROCESSING_INSTRUCTION:
                push('<?' + node.target + ' ' + node.data + '>');
                break;
            default:
                break;
            }
        }
        const markup = out.join('');
        return markup.length > LIMIT ? markup.slice(0, LIMIT) : markup;
    }

    // body is the FRAMESET of a frameset document, and absent in documents
    // that are not HTML.
    const body = document.body;
    const type = document.contentType;
    if (!body) {
        return { markup: null, text: null, type: type };
    }
    const text = body.innerText;
    return {
        markup: serialise(body),
        text: typeof text === 'string' ? text.slice(0, LIMIT) : null,
        type: type
    };
})();
