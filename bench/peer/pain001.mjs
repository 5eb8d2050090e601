// The benchmark's peer: the same batch CSV as the host runner reads, written as a
// pain.001.001.03 file through the sepa package. Names are transliterated to the SEPA
// character set and IBANs and BICs lose their blanks, as the component does, so that the
// package's own checks (IBAN check digits, BIC length and country, character set) pass.
//
//   node pain001.mjs BATCH.csv OUTPUT.xml
//
// Prints one JSON line with the time of each step in seconds.
import { readFileSync, writeFileSync } from 'node:fs';
import { performance } from 'node:perf_hooks';
import SEPA from 'sepa';

const [batchPath, outputPath] = process.argv.slice(2);
if (!batchPath || !outputPath) {
  console.error('usage: node pain001.mjs BATCH.csv OUTPUT.xml');
  process.exit(2);
}

// RFC 4180: quoted fields may hold commas, doubled quotes and line breaks. Fields are cut out
// with indexOf and slice, not built a character at a time.
function parseCsv(text) {
  const records = [];
  let record = [];
  let i = 0;
  const n = text.length;
  while (i < n) {
    let field;
    if (text.charCodeAt(i) === 34) {
      let end = i + 1;
      let parts = '';
      for (;;) {
        const quote = text.indexOf('"', end);
        if (quote < 0) throw new Error('a quoted field is not closed');
        if (text.charCodeAt(quote + 1) === 34) { parts += text.slice(end, quote + 1); end = quote + 2; continue; }
        field = parts + text.slice(end, quote);
        i = quote + 1;
        break;
      }
    } else {
      let end = i;
      while (end < n) {
        const c = text.charCodeAt(end);
        if (c === 44 || c === 13 || c === 10) break;
        ++end;
      }
      field = text.slice(i, end);
      i = end;
    }
    record.push(field);
    const c = text.charCodeAt(i);
    if (c === 44) { ++i; if (i === n) record.push(''); continue; }
    if (c === 13) ++i;
    if (text.charCodeAt(i) === 10) ++i;
    records.push(record);
    record = [];
  }
  if (record.length) records.push(record);
  return records;
}

// Accents go, and what the SEPA character set lacks becomes a blank or a full stop.
function sepaText(text, max = 70) {
  return text.normalize('NFD').replace(/[\u0300-\u036f]/g, '')
    .replace(/ß/g, 'ss').replace(/[ØøŁł]/g, (c) => ({ Ø: 'O', ø: 'o', Ł: 'L', ł: 'l' })[c])
    .replace(/[Ææ]/g, (c) => (c === 'Æ' ? 'AE' : 'ae')).replace(/&/g, '+')
    .replace(/[^A-Za-z0-9/\-?:().,'+ ]/g, '.').slice(0, max).trim();
}

const identifier = (text) => text.replace(/ /g, '').toUpperCase();

const phases = {};
let mark = performance.now();
const lap = (name) => {
  const now = performance.now();
  phases[name] = (now - mark) / 1000;
  mark = now;
};

const [header, ...rows] = parseCsv(readFileSync(batchPath, 'utf8').replace(/^\uFEFF/, ''));
const column = Object.fromEntries(header.map((name, i) => [name, i]));
lap('parse');

const first = rows[0];
const doc = new SEPA.Document('pain.001.001.03');
doc.grpHdr.id = 'SEPA' + new Date().toISOString().replace(/\D/g, '').slice(2, 14);
doc.grpHdr.created = new Date();
doc.grpHdr.initiatorName = sepaText(first[column.payer_name]);

const info = doc.createPaymentInfo();
info.requestedExecutionDate = new Date(first[column.execution_date] || Date.now());
info.debtorName = sepaText(first[column.payer_name]);
info.debtorIBAN = identifier(first[column.payer_iban]);
info.debtorBIC = identifier(first[column.payer_bic]);
info.batchBooking = true;
doc.addPaymentInfo(info);

for (const row of rows) {
  const tx = info.createTransaction();
  tx.creditorName = sepaText(row[column.payee_name]);
  tx.creditorIBAN = identifier(row[column.payee_iban]);
  tx.creditorBIC = identifier(row[column.payee_bic]);
  tx.amount = Number(row[column.amount]);
  tx.end2endId = sepaText(row[column.payment_reference], 35) || info.debtorName.slice(0, 35);
  info.addTransaction(tx);
}
lap('build');

const xml = doc.toString();
lap('serialise');

writeFileSync(outputPath, xml, 'utf8');
lap('save');

console.log(JSON.stringify({ payments: rows.length, phases }));
