// The drill: the problem's five boxes, the run's counts and clock, and the number pad.
//
// The page only shows what the server answered and sends the keys; the clock alone runs here,
// counting on from the server's time between answers so that it moves each second.

import { el, setText, textOf } from '../dom.js';
import { drillKeyOf, numberPad } from '../numberpad.js';

/** The boxes in the order the state lists them. */
const kBoxRoles = ['first-number', 'second-number', 'answer1', 'answer2', 'answer3'];

/** The three bands of count-down marks, ten each, in the colours the desktop gives them. */
const kCountdownBands = ['best', 'your-best', 'pass'];
const kMarksPerBand = 10;

/** Without an answer for this long, the page asks for the state: the marks and minutes move on. */
const kQuietRefreshMs = 5000;
/** After a run ended, the finish screen is asked for this long later, as the desktop waits. */
const kFinishAfterMs = 1000;

function boxCell(role) {
  const box = el('div', { class: 'box', 'data-role': role });
  const correct = el('div', { class: 'correct' });
  return { element: el('div', { class: `box-cell ${role}` }, box, correct), box, correct };
}

function sign(text) {
  const element = el('div', { class: 'sign' });
  return { element, set: (state) => setText(element, textOf(state, text)) };
}

/** A figure between its captions; `role` is given to the figures the tests read. */
function figure(before, after, role = null) {
  const value = el('span', { class: 'figure', 'data-role': role });
  const captions = [el('span', { class: 'caption' }), el('span', { class: 'caption' })];
  return {
    element: el('p', {}, captions[0], value, captions[1]),
    value,
    set(state, shown) {
      setText(captions[0], textOf(state, before));
      setText(captions[1], after ? textOf(state, after) : '');
      setText(value, shown);
    },
  };
}

export function drillScreen(page) {
  const heading = {
    subjectTitle: el('p', { class: 'subject' }),
    student: el('p', { class: 'student-name' }),
    school: el('p', { class: 'school' }),
    level: el('p', { class: 'level-title' }),
  };
  const remaining = figure('remaining', 'questions', 'remaining');
  const clock = figure('time', null, 'clock');
  const minutes = figure('sinceLogIn', 'minutes');
  const todayRun = figure('today', 'runNumber');
  const levelRun = figure('thisLevel', 'runNumber');

  const used = el('div', { class: 'used' });
  const target = el('div', { class: 'target' });
  const minLine = el('div', { class: 'min-line' });
  const timeBar = el('div', { class: 'time-bar' }, minLine, target, used);
  const bandCaptions = kCountdownBands.map(() => el('span', { class: 'band-caption' }));
  const marks = kCountdownBands.map(() =>
    Array.from({ length: kMarksPerBand }, () => el('span', { class: 'mark' })),
  );
  const countdown = el(
    'div',
    { class: 'countdown' },
    kCountdownBands.map((band, index) =>
      el('div', { class: `band ${band}` }, bandCaptions[index], marks[index]),
    ),
  );

  const instruction = el('p', { class: 'instruction', 'data-role': 'instruction' });
  const boxes = kBoxRoles.map(boxCell);
  const signs = [sign('plus'), sign('plus'), sign('equals')];
  const ackPrompt = el('p', { class: 'ack-prompt' });
  const acknowledge = el('button', {
    type: 'button',
    class: 'acknowledge',
    'data-role': 'acknowledge',
    on: { click: () => page.keys(['plus', 'plus']) },
  });
  const ack = el('div', { class: 'ack', hidden: true }, ackPrompt, acknowledge);
  const keysHelp = el('p', { class: 'keys-help' });
  const endingText = el('p', {});
  const ending = el('div', { class: 'ending', hidden: true }, endingText);
  const problem = el(
    'div',
    { class: 'problem' },
    instruction,
    el('div', { class: 'sum top' }, boxes[0].element, signs[0].element, boxes[1].element),
    el('div', { class: 'sum bottom' }, boxes[2].element, signs[1].element, boxes[3].element, signs[2].element, boxes[4].element),
    ack,
    keysHelp,
    ending,
  );
  const padPlace = el('div', { class: 'pad-place' });

  let drill = null;
  let clockStarted = 0;
  let lastAnswer = 0;
  let askedAtLimit = 0;
  let finishTimer = 0;

  const typed = (key) => {
    if (drill && !drill.ending) page.keys([key]);
  };
  const onKey = (event) => {
    const key = drillKeyOf(event);
    if (!key) return;
    event.preventDefault();
    typed(key);
  };
  document.addEventListener('keydown', onKey);

  const secondsRun = () => Math.floor((performance.now() - clockStarted) / 1000);

  const showClock = () => {
    const limit = drill.timeLimit;
    const shown = Math.min(secondsRun(), limit);
    setText(clock.value, shown);
    used.style.width = limit > 0 ? `${(100 * shown) / limit}%` : '0';
  };

  const tick = () => {
    if (!drill || drill.ending) return;
    showClock();
    const now = performance.now();
    // At the limit the server ends the run when asked; it is asked again each second until it
    // has, so that a late answer does not leave the child looking at a stopped clock.
    if (secondsRun() >= drill.timeLimit && now - askedAtLimit >= 1000) {
      askedAtLimit = now;
      page.refresh();
    } else if (now - lastAnswer >= kQuietRefreshMs) {
      lastAnswer = now;
      page.refresh();
    }
  };
  const ticker = setInterval(tick, 250);

  return {
    element: el(
      'section',
      { class: 'drill' },
      el('header', { class: 'drill-head' }, heading.subjectTitle, heading.student, heading.school, heading.level),
      el(
        'div',
        { class: 'status' },
        remaining.element,
        clock.element,
        minutes.element,
        todayRun.element,
        levelRun.element,
      ),
      timeBar,
      countdown,
      el('div', { class: 'work' }, problem, padPlace),
    ),
    show(state) {
      const first = !drill;
      drill = state.drill;
      lastAnswer = performance.now();
      clockStarted = lastAnswer - drill.elapsed * 1000;
      if (first) {
        padPlace.replaceChildren(numberPad({ back: textOf(state, 'back'), next: textOf(state, 'next') }, typed));
      }
      for (const [name, element] of Object.entries(heading)) setText(element, drill[name]);
      remaining.set(state, drill.remaining);
      clock.set(state, Math.min(drill.elapsed, drill.timeLimit));
      minutes.set(state, drill.minutes);
      todayRun.set(state, drill.todayRun);
      levelRun.set(state, drill.levelRun);
      const limit = drill.timeLimit > 0 ? drill.timeLimit : 1;
      target.style.width = `${Math.min(100, (100 * drill.targetTime) / limit)}%`;
      minLine.style.width = `${Math.min(100, (100 * drill.minLineTime) / limit)}%`;
      showClock();
      (drill.countdown || []).forEach((band, index) => {
        if (!marks[index]) return;
        setText(bandCaptions[index], band.caption);
        marks[index].forEach((mark, number) => mark.classList.toggle('gone', Boolean(band.hidden[number])));
      });

      setText(instruction, drill.instruction);
      drill.boxes.forEach((shown, index) => {
        const cell = boxes[index];
        setText(cell.box, shown.text);
        cell.box.style.backgroundColor = shown.colour;
        cell.box.classList.toggle('current', Boolean(shown.current));
        setText(cell.correct, shown.correctShown ? shown.correctValue : '');
      });
      for (const shown of signs) shown.set(state);
      ack.hidden = !drill.ackPrompt;
      setText(ackPrompt, textOf(state, 'ackPrompt'));
      setText(acknowledge, textOf(state, 'acknowledge'));
      setText(keysHelp, textOf(state, 'keysHelp'));

      ending.hidden = !drill.ending;
      if (drill.ending) {
        setText(endingText, textOf(state, drill.ending === 'timeUp' ? 'timeUp' : 'recording'));
        ending.classList.toggle('time-up', drill.ending === 'timeUp');
        clearTimeout(finishTimer);
        finishTimer = setTimeout(() => page.refresh(), kFinishAfterMs);
      }
    },
    leave() {
      clearInterval(ticker);
      clearTimeout(finishTimer);
      document.removeEventListener('keydown', onKey);
    },
  };
}
