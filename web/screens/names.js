// The name list: the grade band and what the figures count, then one button per child.

import { el, setText, textOf } from '../dom.js';

/** A row of choices, one pressed; `choose(index)` is called with the index of a tapped one. */
function choiceRow(className, choose) {
  const row = el('div', { class: `choices ${className}` });
  let shown = '';
  return {
    element: row,
    show(captions, pressed) {
      const key = JSON.stringify(captions);
      if (key !== shown) {
        shown = key;
        row.replaceChildren(
          ...captions.map((caption, index) =>
            el('button', { type: 'button', class: 'choice', on: { click: () => choose(index) } }, caption),
          ),
        );
      }
      [...row.children].forEach((button, index) => {
        button.setAttribute('aria-pressed', String(index === pressed));
      });
    },
  };
}

export function namesScreen(page) {
  let names = { bands: [], figureModes: [] };
  const title = el('h1', { class: 'names-title' });
  const prompt = el('p', { class: 'names-prompt' });
  const bands = choiceRow('bands', (index) => page.act('names', { band: names.bands[index] }));
  const figures = choiceRow('figures', (index) => page.act('names', { figures: index }));
  const list = el('div', { class: 'student-list' });

  return {
    element: el(
      'section',
      { class: 'names' },
      el('header', { class: 'names-head' }, title, prompt),
      bands.element,
      figures.element,
      list,
    ),
    show(state) {
      names = state.names;
      setText(title, names.title);
      setText(prompt, textOf(state, 'prompt'));
      bands.element.title = textOf(state, 'bandTip');
      bands.show(names.bands, names.bands.indexOf(names.band));
      figures.show(names.figureModes, names.figures);
      list.replaceChildren(
        ...names.rows.map((row) =>
          el(
            'button',
            {
              type: 'button',
              class: 'student fixed',
              'data-role': 'student',
              'data-student': row.student,
              on: { click: () => page.act('login', { student: row.student }) },
            },
            row.text,
          ),
        ),
      );
    },
    leave() {},
  };
}
