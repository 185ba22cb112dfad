// Turns the Swedish translation table (Qt Linguist's .ts, shared with the
// desktop) into the page's module translations_sv.js: the "Page" context's
// texts by their English, and the "Message" context's patterns.
//   node translations.mjs orvane_sv.ts translations_sv.js
import fs from "node:fs";

const [source, target] = process.argv.slice(2);
const ts = fs.readFileSync(source, "utf8");
const unescape = (text) => text
  .replace(/&lt;/g, "<").replace(/&gt;/g, ">").replace(/&quot;/g, "\"")
  .replace(/&apos;/g, "'").replace(/&amp;/g, "&");

const contexts = {};
for (const [, body] of ts.matchAll(/<context>([\s\S]*?)<\/context>/g)) {
  const name = /<name>([^<]*)<\/name>/.exec(body)[1];
  const entries = [];
  for (const [, message] of body.matchAll(/<message>([\s\S]*?)<\/message>/g)) {
    const english = /<source>([\s\S]*?)<\/source>/.exec(message);
    const swedish = /<translation>([\s\S]*?)<\/translation>/.exec(message);
    if (!english || !swedish) throw new Error(`${source}: a message without source or translation in ${name}`);
    entries.push([unescape(english[1]), unescape(swedish[1])]);
  }
  contexts[name] = entries;
}
const table = { page: contexts.Page || [], messages: contexts.Message || [] };
const text = "// Made from host/qt/translations/orvane_sv.ts when the page is built; do not edit.\n" +
  `export default ${JSON.stringify(table)};\n`;
if (!fs.existsSync(target) || fs.readFileSync(target, "utf8") !== text) fs.writeFileSync(target, text);
