// node validate-gltf.js VALIDATOR_DIR FILE: validates a glTF or GLB file with
// the Khronos glTF validator unpacked in VALIDATOR_DIR and prints the whole
// report as JSON. Exit status 0 without errors and warnings, 1 with any, 2 if
// the file could not be validated at all.
'use strict';
const fs = require('fs');
const path = require('path');

const [validatorDir, file] = process.argv.slice(2);
const validator = require(path.resolve(validatorDir));
validator
  .validateBytes(new Uint8Array(fs.readFileSync(file)), {
    uri: path.basename(file),
    maxIssues: 0,  // report every issue
  })
  .then((report) => {
    console.log(JSON.stringify(report, null, 2));
    process.exitCode = report.issues.numErrors + report.issues.numWarnings > 0 ? 1 : 0;
  })
  .catch((error) => {
    console.error(String(error));
    process.exitCode = 2;
  });
