// Reads an ADIF file with adif-parser-ts, a reader written by others, and prints what it found
// as JSON: { "header": {...}, "records": [{...}, ...] }, field names in lower case.
//   node adif_readback.js READER_FOLDER FILE.adi
const path = require('path');
const fs = require('fs');
const { AdifParser } = require(path.join(process.argv[2], 'node_modules', 'adif-parser-ts'));
const text = fs.readFileSync(process.argv[3], 'latin1');
const parsed = AdifParser.parseAdi(text);
process.stdout.write(JSON.stringify({ header: parsed.header || {}, records: parsed.records || [] }));
