#!/usr/bin/env bash
# Checks a HAR file against the HAR 1.2 schema with the npm package har-validator under Node.js.
#   scripts/validate-har.sh FILE
# The package is installed once into $PAGELYST_NPM_DIR (default
# ${XDG_CACHE_HOME:-~/.cache}/pagelyst/npm) and reused from there.
# Exit status: 0 valid, 1 not valid (the schema's complaints are printed), 2 usage or unreadable
# file, 77 Node.js or npm missing or the package could not be installed (a test harness skips).
set -euo pipefail

if [[ $# -ne 1 ]]; then
    echo "usage: $0 FILE" >&2
    exit 2
fi
file=$1
if [[ ! -r "$file" ]]; then
    echo "validate-har: cannot read $file" >&2
    exit 2
fi

version=5.1.5
dir=${PAGELYST_NPM_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/pagelyst/npm}

if ! command -v node >/dev/null 2>&1; then
    echo "validate-har: Node.js is not installed" >&2
    exit 77
fi
if [[ ! -f "$dir/node_modules/har-validator/package.json" ]]; then
    if ! command -v npm >/dev/null 2>&1; then
        echo "validate-har: npm is not installed" >&2
        exit 77
    fi
    mkdir -p "$dir"
    if ! npm install --no-save --no-audit --no-fund --loglevel=error --prefix "$dir" \
        "har-validator@$version" >&2; then
        echo "validate-har: could not install har-validator@$version into $dir" >&2
        exit 77
    fi
fi

node - "$dir" "$file" <<'JS'
const fs = require('fs');
const [dir, file] = process.argv.slice(2);
const validator = require(require.resolve('har-validator', { paths: [dir] }));
let data;
try {
    data = JSON.parse(fs.readFileSync(file, 'utf8'));
} catch (e) {
    console.error(`${file}: not JSON: ${e.message}`);
    process.exit(1);
}
validator.har(data).then(
    () => {
        console.log(`${file}: valid HAR ${data.log.version}`);
    },
    (e) => {
        console.error(`${file}: not a valid HAR`);
        for (const error of e.errors || [e]) {
            console.error(`  ${error.dataPath || error.instancePath || ''} ${error.message}`);
        }
        process.exit(1);
    });
JS
