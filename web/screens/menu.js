// The level menu: one card per level with its start button, the child's counts and the
// level's ranking.

import { el, setText, textOf } from '../dom.js';

/**
 * The keyboard key a caption offers, as in "ｽﾀｰﾄ(1)" or "戻る(0)": the single character in the
 * closing brackets, or null.
 */
function accessKeyOf(caption) {
  const found = /[(（](.)[)）]$/u.exec(caption || '');
  return found ? found[1] : null;
}

function levelCard(page, level, texts) {
  const start = el(
    'button',
    {
      type: 'button',
      class: 'start',
      'data-role': 'level',
      'data-level': level.level,
      disabled: !level.enabled,
      on: { click: () => page.act('level', { level: level.level }) },
    },
    level.start,
  );
  const ranking = el(
    'ol',
    { class: 'ranking fixed' },
    (level.ranking ? level.ranking.rows : []).map((row) => el('li', {}, row)),
  );
  const card = el(
    'article',
    { class: level.enabled ? 'level' : 'level closed' },
    el('h2', { class: 'level-name' }, el('span', { class: 'level-number' }, String(level.level)), level.name),
    el('div', { class: 'start-place' }, start, level.overuse ? el('p', { class: 'overuse' }, texts.overuse) : null),
    el('p', { class: 'criteria fixed' }, level.criteria),
    el('p', { class: 'pass-window fixed' }, level.passWindow),
    el(
      'div',
      { class: 'counts' },
      el('p', {}, el('span', { class: 'caption' }, texts.todayCaption), el('span', { class: 'fixed' }, level.today)),
      el('p', {}, el('span', { class: 'caption' }, texts.totalCaption), el('span', { class: 'fixed' }, level.totals)),
    ),
    ranking,
  );
  return { card, start, key: level.key, ranking, scrollRow: level.ranking ? level.ranking.scrollRow : null };
}

/** Scrolls a ranking so that the row the child is on shows at its top; null leaves it at the top. */
function scrollRanking(ranking, row) {
  const item = Number.isInteger(row) ? ranking.children[row] : null;
  if (item) ranking.scrollTop = item.offsetTop - ranking.firstElementChild.offsetTop;
}

export function menuScreen(page) {
  const title = el('h1', { class: 'menu-title' });
  const student = el('p', { class: 'menu-student' });
  const school = el('p', { class: 'menu-school' });
  const minutes = el('p', { class: 'menu-minutes' });
  const todayRuns = el('p', { class: 'menu-today' });
  const back = el('button', { type: 'button', class: 'back', on: { click: () => page.act('leave') } });
  const levels = el('div', { class: 'levels' });
  let startKeys = new Map();

  const onKey = (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey) return;
    const button = event.key === accessKeyOf(back.textContent) ? back : startKeys.get(event.key);
    if (button && !button.disabled) {
      event.preventDefault();
      button.click();
    }
  };
  document.addEventListener('keydown', onKey);

  return {
    element: el(
      'section',
      { class: 'menu' },
      el('header', { class: 'menu-head' }, title, student, school, minutes, todayRuns, back),
      levels,
    ),
    show(state) {
      const menu = state.menu;
      const texts = {
        overuse: textOf(state, 'overuse'),
        todayCaption: textOf(state, 'todayCaption'),
        totalCaption: textOf(state, 'totalCaption'),
      };
      setText(title, menu.title);
      setText(student, menu.student);
      setText(school, menu.school);
      setText(minutes, menu.minutes);
      setText(todayRuns, menu.todayRuns);
      setText(back, textOf(state, 'back'));
      const cards = menu.levels.map((level) => levelCard(page, level, texts));
      levels.replaceChildren(...cards.map((shown) => shown.card));
      // The keys the desktop's menu starts levels with: 1 to 9, then a to d.
      startKeys = new Map(cards.filter((shown) => shown.key).map((shown) => [shown.key, shown.start]));
      for (const shown of cards) scrollRanking(shown.ranking, shown.scrollRow);
    },
    leave() {
      document.removeEventListener('keydown', onKey);
    },
  };
}
