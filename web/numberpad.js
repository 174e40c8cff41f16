// The drill's keys: the on-screen number pad a finger taps, and the keyboard's keys read as the
// same key names the server takes.

import { el } from './dom.js';

/** The pad's rows, as on a calculator: the key that moves on sits under the right hand. */
const kPadRows = [
  ['7', '8', '9'],
  ['4', '5', '6'],
  ['1', '2', '3'],
  ['back', '0', 'next'],
];

/** The keyboard's keys that are not digits, by the name the server gives each. */
const kKeyboardKeys = {
  ' ': 'next',
  Backspace: 'back',
  '+': 'plus',
  ArrowLeft: 'left',
  ArrowRight: 'right',
  ArrowUp: 'up',
  ArrowDown: 'down',
};

/**
 * The number pad. `captions` gives the captions of `back` and `next`; `onKey(name)` is called
 * with the key's name on each tap.
 */
export function numberPad(captions, onKey) {
  const keys = kPadRows.flat().map((name) =>
    el(
      'button',
      {
        type: 'button',
        class: /^[0-9]$/.test(name) ? 'pad-key digit' : `pad-key ${name}`,
        'data-key': name,
        // The pad never takes the focus: a space typed on a keyboard must not press the key
        // that was tapped last as well as moving on.
        tabindex: -1,
        on: {
          mousedown: (event) => event.preventDefault(),
          click: () => onKey(name),
        },
      },
      captions[name] || name,
    ),
  );
  return el('div', { class: 'number-pad' }, keys);
}

/** The name of the drill's key a keyboard event stands for, or null for a key the drill ignores. */
export function drillKeyOf(event) {
  if (event.ctrlKey || event.altKey || event.metaKey) return null;
  // Full-width digits, signs and space, as a Japanese input method left switched on types them.
  const key = event.key.length === 1 ? event.key.normalize('NFKC') : event.key;
  if (/^[0-9]$/.test(key)) return key;
  return kKeyboardKeys[key] || null;
}
