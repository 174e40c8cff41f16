// The page: shows the screen of each state the server answers with, and passes on what the
// child does. Nothing is decided here.

import { Channel } from './api.js';
import { SoundPlayer } from './sound.js';
import { codeScreen } from './screens/code.js';
import { namesScreen } from './screens/names.js';
import { menuScreen } from './screens/menu.js';
import { drillScreen } from './screens/drill.js';
import { finishScreen } from './screens/finish.js';

const kScreens = {
  code: codeScreen,
  names: namesScreen,
  menu: menuScreen,
  drill: drillScreen,
  finish: finishScreen,
};

class Page {
  constructor() {
    this.root = document.getElementById('screen');
    this.message = document.getElementById('message');
    this.sound = new SoundPlayer(document.getElementById('enable-sound'));
    this.screenName = null;
    this.screen = null;
    this.state = null;
    this.channel = new Channel({
      onState: (state) => this.show(state),
      onRefusal: (status, message, stateGiven) => this.refused(message, stateGiven),
      onReachable: (yes) => document.body.classList.toggle('unreachable', !yes),
    });
  }

  /** A call the child made by tapping; a second tap while the first is on its way is ignored. */
  act(name, body) {
    if (this.channel.busy()) return;
    this.clearMessage();
    this.channel.post(name, body);
  }

  /** Keys of the drill, always sent, in order. */
  keys(keys) {
    this.clearMessage();
    this.channel.keys(keys);
  }

  refresh() {
    this.channel.refresh();
  }

  show(state) {
    if (!state || !kScreens[state.screen]) return;
    this.state = state;
    if (state.screen !== this.screenName) {
      if (this.screen) this.screen.leave();
      if (this.screenName === 'drill') this.channel.dropKeys();
      this.screenName = state.screen;
      this.screen = kScreens[state.screen](this);
      this.root.replaceChildren(this.screen.element);
      this.root.className = `screen-${state.screen}`;
      window.scrollTo(0, 0);
    }
    const shown = state[state.screen] || {};
    document.title = shown.title || shown.subjectTitle || (state.texts && state.texts.title) || '';
    this.sound.setCaption(state.texts && state.texts.enableSound);
    this.screen.show(state);
    this.sound.play(state.sounds);
  }

  /** A refused call changed nothing: its message is shown, on the screen as it was. */
  refused(message, stateGiven) {
    if (this.screen && this.screen.refused) {
      this.screen.refused(message || '');
    } else if (message) {
      this.message.textContent = message;
      this.message.hidden = false;
    }
    // What the refusal was about may have changed under the page (a level closed, a run ended
    // on another tab): without a state beside the refusal, the state is asked for again.
    if (!stateGiven) this.refresh();
  }

  clearMessage() {
    this.message.hidden = true;
  }
}

const page = new Page();
page.refresh();
// A tablet waking from sleep, or a tab brought back, shows what the server holds now.
document.addEventListener('visibilitychange', () => {
  if (document.visibilityState === 'visible') page.refresh();
});
window.addEventListener('pageshow', (event) => {
  if (event.persisted) page.refresh();
});
