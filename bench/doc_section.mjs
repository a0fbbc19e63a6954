// Puts text read from standard input into docs/performance.md (or FILE) as the part written by
// NAME (scripts/bench, scripts/bench-web), between that part's two marker lines, leaving the
// other parts as they are; makes the file when there is none. The file is only ever written so.
//   node bench/doc_section.mjs FILE NAME < text
import fs from "node:fs";
import path from "node:path";

const [file, name] = process.argv.slice(2);
const text = fs.readFileSync(0, "utf8").trimEnd();
const [begin, end] = [`<!-- ${name}: begin -->`, `<!-- ${name}: end -->`];
let doc = fs.existsSync(file) ? fs.readFileSync(file, "utf8") : "# Performance\n\n" +
  "Each part below is written by the script it names (`scripts/bench`: the native build; `scripts/bench-web`: the web " +
  "build), from its last sitting on the machine it names; none of it is edited by hand.\n";
const part = `${begin}\n## ${name}\n\n${text}\n${end}`;
const [from, to] = [doc.indexOf(begin), doc.indexOf(end)];
doc = from >= 0 && to > from ? doc.slice(0, from) + part + doc.slice(to + end.length) : doc.trimEnd() + "\n\n" + part + "\n";
fs.mkdirSync(path.dirname(file), { recursive: true });
fs.writeFileSync(file, doc);
