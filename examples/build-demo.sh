#!/bin/sh
# Builds the demo package from the sample site and its branding.
#   examples/build-demo.sh [QENPACK] [OUTPUT.qen]
# QENPACK defaults to build/tools/qenpack/qenpack, OUTPUT to build/DogTraining.qen.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
qenpack=${1:-"$root/build/tools/qenpack/qenpack"}
output=${2:-"$root/build/DogTraining.qen"}

if [ ! -x "$qenpack" ]; then
    echo "build-demo.sh: $qenpack not found; build the qenpack target first" >&2
    exit 1
fi
mkdir -p "$(dirname "$output")"

"$qenpack" build "$here/dog-training" -o "$output" \
    --title "Dog Training Academy" \
    --settings-name "DogTrainingAcademy" \
    --footer-name "Dog Training Academy" \
    --footer-link "http://www.example.com/academy" \
    --max-side-banners 3 \
    --branding "$here/dog-training.branding"
"$qenpack" verify "$output"
