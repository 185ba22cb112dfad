// The page's language: English as the page is written, or Swedish from the
// translation table the desktop uses too (host/qt/translations/orvane_sv.ts,
// turned into translations_sv.js when the page is built): its "Page"
// context holds the page's own texts, its "Message" context the machine's
// messages by their English pattern ("Cannot load %1: %2."), the same ones
// the desktop shows.
//
// The choice is "auto" (the browser's language), "en" or "sv", kept in the
// browser. Texts are translated where they appear: every text, title and
// label under the page's root, also those the page changes later (a
// MutationObserver sees them), so the page's code keeps writing English.
import Swedish from "./translations_sv.js";

const ChoiceKey = "orvane.language";
const Attributes = ["title", "aria-label", "placeholder"];

const page = new Map(Swedish.page);
const patterns = Swedish.messages
  .map(([english, swedish]) => {
    let literal = 0;
    const source = english.split(/(%[1-9])/).map((part) => {
      if (/^%[1-9]$/.test(part)) return "(.+?)";
      literal += part.length;
      return part.replace(/[.*+?^${}()|[\]\\]/g, "\\$&");
    }).join("");
    return { english, swedish, match: new RegExp("^" + source + "$", "s"), literal };
  })
  .sort((a, b) => b.literal - a.literal);

let swedish = false;
// Texts shown in Swedish that had no entry: the tests read them.
export const untranslated = new Set();

function messageText(english, depth) {
  for (const pattern of patterns) {
    const found = pattern.match.exec(english);
    if (!found) continue;
    return pattern.swedish.replace(/%([1-9])/g, (_, n) => {
      const part = found[Number(n)] ?? "";
      return depth < 2 ? messageText(part, depth + 1) ?? part : part;
    });
  }
  return null;
}

// Nothing to translate: blanks, numbers, percentages, signs and key caps.
function needsWords(text) {
  return /[A-Za-z]{2,}/.test(text);
}

export function translate(text) {
  if (!swedish || !text) return text;
  const trimmed = text.trim();
  if (!needsWords(trimmed)) return text;
  // HTML folds its line breaks and indentation into one blank.
  const words = trimmed.replace(/\s+/g, " ");
  const exact = page.get(words) ?? messageText(words, 0);
  if (exact == null) {
    untranslated.add(words);
    return text;
  }
  return text.replace(trimmed, () => exact);
}

export function languageChoice() {
  try {
    return localStorage.getItem(ChoiceKey) || "auto";
  } catch {
    return "auto";
  }
}

function wantsSwedish(choice) {
  if (choice === "sv") return true;
  if (choice === "en") return false;
  const languages = navigator.languages?.length ? navigator.languages : [navigator.language || ""];
  return languages.some((l) => /^sv\b/i.test(l));
}

export function swedishInUse() {
  return swedish;
}

// Originals of what the page wrote, and what was shown for them.
const shownText = new WeakMap(); // text node -> { english, shown }
const shownAttribute = new WeakMap(); // element -> { [name]: { english, shown } }

function showTextNode(node) {
  const known = shownText.get(node);
  if (known && node.data === known.shown) return;
  const english = node.data;
  const shown = translate(english);
  shownText.set(node, { english, shown });
  if (shown !== english) node.data = shown;
}

function showAttributes(element) {
  let known = shownAttribute.get(element);
  for (const name of Attributes) {
    if (!element.hasAttribute(name)) continue;
    const value = element.getAttribute(name);
    if (known?.[name] && value === known[name].shown) continue;
    const shown = translate(value);
    known = known || {};
    known[name] = { english: value, shown };
    shownAttribute.set(element, known);
    if (shown !== value) element.setAttribute(name, shown);
  }
}

function showTree(root) {
  if (root.nodeType === Node.TEXT_NODE) return showTextNode(root);
  if (root.nodeType !== Node.ELEMENT_NODE) return;
  if (root.closest?.("[data-no-translate]")) return;
  showAttributes(root);
  for (const child of root.childNodes) showTree(child);
}

// Puts every text back to the English the page wrote, then shows the tree
// in the language now chosen.
function redraw(root) {
  const walk = (node) => {
    if (node.nodeType === Node.TEXT_NODE) {
      const known = shownText.get(node);
      if (known && node.data === known.shown) node.data = known.english;
      shownText.delete(node);
      return;
    }
    if (node.nodeType !== Node.ELEMENT_NODE) return;
    const known = shownAttribute.get(node);
    if (known)
      for (const [name, { english, shown }] of Object.entries(known))
        if (node.getAttribute(name) === shown) node.setAttribute(name, english);
    shownAttribute.delete(node);
    for (const child of node.childNodes) walk(child);
  };
  walk(root);
  showTree(root);
}

let observedRoot = null;

// Shows the page in the chosen language and keeps it so as it changes.
export function startLanguage(root = document.body) {
  swedish = wantsSwedish(languageChoice());
  document.documentElement.lang = swedish ? "sv" : "en";
  observedRoot = root;
  showTree(root);
  new MutationObserver((records) => {
    for (const record of records) {
      if (record.type === "characterData") showTextNode(record.target);
      else if (record.type === "attributes") showAttributes(record.target);
      else for (const node of record.addedNodes) showTree(node);
    }
  }).observe(root, {
    subtree: true, childList: true, characterData: true,
    attributes: true, attributeFilter: Attributes,
  });
}

export function chooseLanguage(choice) {
  try {
    localStorage.setItem(ChoiceKey, choice);
  } catch {
    // A browser that keeps nothing: the choice lasts until the page closes.
  }
  swedish = wantsSwedish(choice);
  document.documentElement.lang = swedish ? "sv" : "en";
  if (observedRoot) redraw(observedRoot);
}
