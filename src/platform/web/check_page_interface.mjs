// Build check: every page function that page_interface.js calls (lanternwhirlPage.NAME) is
// defined by one of the page's scripts (page.NAME = ..., or a key of page.js's page record), so
// that renaming one breaks the build, not a viewer's show.
//   node check_page_interface.mjs page_interface.js STAMP SCRIPT...
import fs from "node:fs";

const [library, stamp, ...scripts] = process.argv.slice(2);
const called = new Set([...fs.readFileSync(library, "utf8").matchAll(/lanternwhirlPage\.(\w+)/g)]
  .map((m) => m[1]));
const defined = new Set();
for (const script of scripts) {
  const text = fs.readFileSync(script, "utf8");
  for (const m of text.matchAll(/\bpage\.(\w+)\s*=/g)) defined.add(m[1]);
  const record = /const page = \{([^}]*)\}/.exec(text);
  if (record) for (const m of record[1].matchAll(/^\s*(\w+)\s*[:,]/gm)) defined.add(m[1]);
}
const missing = [...called].filter((name) => !defined.has(name));
if (missing.length) {
  console.error(`${library}: the page's scripts define no ${missing.join(", ")}`);
  process.exit(1);
}
fs.writeFileSync(stamp, [...called].sort().join("\n") + "\n");
