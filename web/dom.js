// Building elements in one expression, so that a screen's code reads like the screen.

/**
 * Makes an element. `props` sets attributes by name (`class`, `data-role`, `disabled`, ...),
 * except `on`, an object of event handlers; a `false`, `null` or `undefined` value leaves the
 * attribute out. Children are elements or strings; strings become text, never markup, since
 * every text comes from the server and must not be read as HTML.
 */
export function el(tag, props = {}, ...children) {
  const element = document.createElement(tag);
  for (const [name, value] of Object.entries(props)) {
    if (name === 'on') {
      for (const [event, handler] of Object.entries(value)) element.addEventListener(event, handler);
    } else if (value === true) {
      element.setAttribute(name, '');
    } else if (value !== false && value !== null && value !== undefined) {
      element.setAttribute(name, String(value));
    }
  }
  element.append(...children.flat().filter((child) => child !== null && child !== undefined));
  return element;
}

/** Sets an element's text only when it changed, so that an unchanged answer costs no layout. */
export function setText(element, text) {
  const value = text === null || text === undefined ? '' : String(text);
  if (element.textContent !== value) element.textContent = value;
}

/** The screen's fixed text of that name; an absent one shows as nothing rather than "undefined". */
export function textOf(state, name) {
  return (state.texts && state.texts[name]) || '';
}
