// Reads Simplified UTF-8 on stdin, writes OpenCC's cn -> tw conversion (opencc-js) on stdout.
const OpenCC = require('opencc-js');
const convert = OpenCC.Converter({ from: 'cn', to: 'tw' });
const chunks = [];
process.stdin.on('data', (c) => chunks.push(c));
process.stdin.on('end', () => process.stdout.write(convert(Buffer.concat(chunks).toString('utf8'))));
