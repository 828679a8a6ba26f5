// Validates CycloneDX JSON SBOMs against the schema of their own specVersion, with
// CycloneDX's library (strict: no property the schema does not name); says each fault.
//   node tools/sbom/validate.mjs FILE.cdx.json...
import { readFileSync } from 'node:fs';
import { Validation } from '@cyclonedx/cyclonedx-library';

let faults = 0;
for (const file of process.argv.slice(2)) {
  const text = readFileSync(file, 'utf8');
  const { specVersion } = JSON.parse(text);
  const errors = await new Validation.JsonStrictValidator(specVersion).validate(text);
  if (errors !== null) {
    console.error(`velquin: ${file} is not a valid CycloneDX ${specVersion} SBOM:`, JSON.stringify(errors, null, 1));
    faults++;
  }
}
process.exit(faults ? 1 : 0);
