// The classroom code, entered once on each device before any name is shown.

import { el, setText, textOf } from '../dom.js';

export function codeScreen(page) {
  const title = el('h1', { class: 'code-title' });
  const prompt = el('p', { class: 'code-prompt' });
  const input = el('input', {
    type: 'text',
    inputmode: 'numeric',
    autocomplete: 'off',
    'data-role': 'code',
    class: 'code-input',
    maxlength: 32,
  });
  const ok = el('button', { type: 'submit', class: 'big-button', 'data-role': 'code-ok' });
  const error = el('p', { class: 'code-error', role: 'alert' });
  const form = el(
    'form',
    {
      class: 'code-form',
      on: {
        submit: (event) => {
          event.preventDefault();
          setText(error, '');
          page.act('code', { code: input.value.trim() });
        },
      },
    },
    title,
    prompt,
    el('div', { class: 'code-entry' }, input, ok),
    error,
  );

  return {
    element: el('section', { class: 'code' }, form),
    show(state) {
      setText(title, textOf(state, 'title'));
      setText(prompt, textOf(state, 'prompt'));
      setText(ok, textOf(state, 'ok'));
      if (document.activeElement !== input) input.focus();
    },
    refused(message) {
      setText(error, message);
      input.select();
    },
    leave() {},
  };
}
