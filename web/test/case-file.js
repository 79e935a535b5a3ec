// The case files the extension's tests share with TAV's unit tests (tests/data,
// read there by tests/unit/common/case_file.h): one case a line, its fields apart
// by spaces; a line starting with "#" is a comment; "\uXXXX" in a field stands for
// that UTF-16 unit.
import {readFileSync} from 'node:fs';

export function readCases(name) {
  const text = readFileSync(new URL(`../../tests/data/${name}`, import.meta.url), 'utf8');
  return text
    .split('\n')
    .map((line, index) => ({number: index + 1, line: line.replace(/\r$/, '')}))
    .filter(({line}) => line !== '' && !line.startsWith('#'))
    .map(({number, line}) => ({
      number,
      fields: line
        .split(' ')
        .filter(Boolean)
        .map((field) => field.replace(/\\u([\da-fA-F]{4})/g, (_, hex) => String.fromCharCode(parseInt(hex, 16)))),
    }));
}
