// The finish screen: the run's time and points, the records it made, and the way on.

import { el, setText, textOf } from '../dom.js';

/** The buttons wait this long, so that a key still held from the drill presses none of them. */
const kButtonsAfterMs = 500;

export function finishScreen(page) {
  const subjectTitle = el('p', { class: 'subject' });
  const student = el('p', { class: 'student-name' });
  const level = el('p', { class: 'level-title' });
  const result = el('p', { class: 'result', 'data-role': 'finish-time' });
  const points = el('p', { class: 'points', 'data-role': 'finish-points' });
  const levelRun = el('span', {});
  const todayRun = el('span', {});
  const message = el('p', { class: 'message' });
  const cleared = el('p', { class: 'cleared' });
  const banner = el('p', { class: 'goal-banner', hidden: true });
  const toMenu = el('button', {
    type: 'button',
    class: 'big-button',
    'data-role': 'to-menu',
    on: { click: () => page.act('menu') },
  });
  const again = el('button', {
    type: 'button',
    class: 'big-button',
    'data-role': 'again',
    on: { click: () => page.act('again') },
  });
  const buttons = el('div', { class: 'finish-buttons', hidden: true }, toMenu, again);

  let finish = null;
  const showButtons = () => {
    banner.hidden = true;
    // The clear label may now send the child on to the next level, or go.
    setText(cleared, finish.clearTextAtButtons);
    cleared.hidden = !finish.clearTextAtButtons;
    buttons.hidden = false;
    again.hidden = !finish.offerRetry;
    toMenu.focus();
  };
  const buttonsTimer = setTimeout(showButtons, kButtonsAfterMs);

  return {
    element: el(
      'section',
      { class: 'finish' },
      el('header', { class: 'finish-head' }, subjectTitle, student, level),
      result,
      points,
      el('p', { class: 'runs' }, levelRun, todayRun),
      message,
      cleared,
      banner,
      buttons,
    ),
    show(state) {
      const first = !finish;
      finish = state.finish;
      setText(subjectTitle, finish.subjectTitle);
      setText(student, finish.student);
      setText(level, finish.level);
      setText(result, finish.result);
      setText(points, finish.points);
      setText(levelRun, finish.levelRun);
      setText(todayRun, finish.todayRun);
      setText(message, finish.message);
      message.hidden = !finish.message;
      const clearText = buttons.hidden ? finish.clearText : finish.clearTextAtButtons;
      setText(cleared, clearText);
      cleared.hidden = !clearText;
      setText(banner, textOf(state, 'goal'));
      if (first) banner.hidden = !finish.goalBanner || finish.bannerHidden;
      setText(toMenu, textOf(state, 'toMenu'));
      setText(again, textOf(state, 'again'));
      if (!buttons.hidden) again.hidden = !finish.offerRetry;
    },
    leave() {
      clearTimeout(buttonsTimer);
    },
  };
}
