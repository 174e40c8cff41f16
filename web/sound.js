// The sounds the server's answers name, played one after the other as the desktop plays them.
//
// A browser may refuse to play before the child has touched the page (a reload in the middle of
// a run, a tablet's strict autoplay rule). Then one big button asks for a tap, which is the
// touch the browser waits for.

export class SoundPlayer {
  /** `enableButton` is the button shown while the browser refuses to play. */
  constructor(enableButton) {
    this.enableButton = enableButton;
    this.audios = new Map();
    this.waiting = [];
    this.playing = false;
    enableButton.addEventListener('click', () => this.enable());
  }

  /** The button's caption, from the server's texts. */
  setCaption(text) {
    // Without a caption from the server, the loudspeaker sign still says what the button is for.
    this.enableButton.textContent = text || '\u{1F50A}';
  }

  /** Plays the sounds of one answer after those still playing. */
  play(urls) {
    if (!Array.isArray(urls) || urls.length === 0) return;
    this.waiting.push(...urls.filter((url) => typeof url === 'string'));
    if (!this.playing) this.playNext();
  }

  audioFor(url) {
    let audio = this.audios.get(url);
    if (!audio) {
      audio = new Audio(url);
      audio.preload = 'auto';
      this.audios.set(url, audio);
    }
    return audio;
  }

  playNext() {
    const url = this.waiting.shift();
    this.playing = url !== undefined;
    if (!this.playing) return;
    const audio = this.audioFor(url);
    const next = () => {
      audio.removeEventListener('ended', next);
      audio.removeEventListener('error', next);
      this.playNext();
    };
    audio.addEventListener('ended', next);
    audio.addEventListener('error', next);
    audio.currentTime = 0;
    audio.play().catch((error) => {
      audio.removeEventListener('ended', next);
      audio.removeEventListener('error', next);
      if (error && error.name === 'NotAllowedError') {
        // Sounds held back until the tap would come late and out of place: they are dropped.
        this.waiting = [];
        this.playing = false;
        this.enableButton.hidden = false;
      } else {
        this.playNext();
      }
    });
  }

  /**
   * The tap on the button: every sound heard so far is started and stopped at once, silently,
   * within the tap, which is what a strict browser needs to let each of them play later.
   */
  enable() {
    this.enableButton.hidden = true;
    for (const audio of this.audios.values()) {
      audio.muted = true;
      audio
        .play()
        .then(() => {
          audio.pause();
          audio.currentTime = 0;
        })
        .catch(() => {})
        .finally(() => {
          audio.muted = false;
        });
    }
  }
}
