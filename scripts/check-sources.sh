#!/usr/bin/env bash
# Source checks: formatting, the include layering between folders, and Boost and pugixml kept inside the
# common library's sources.
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

sources=$(git ls-files '*.h' '*.cpp' | grep -v '^tests/reference/' || true)
if ! clang-format --dry-run --Werror $sources 2>/dev/null; then
  echo "clang-format: files need formatting (run clang-format -i)"; status=1
fi

# A folder may include only the folders below it; its detail/ sub-folder is held to the same rule
# (git's pathspec "folder/*.h" matches files in sub-folders too).
check_layer() {  # folder, allowed include prefixes (regex)
  local folder=$1 allowed=$2 bad
  bad=$(git ls-files "$folder/*.h" "$folder/*.cpp" | xargs -r grep -n -E '#include "[a-z]+/' |
        grep -v -E "#include \"($allowed)/" || true)
  if [ -n "$bad" ]; then echo "layering: $folder includes outside ($allowed):"; echo "$bad"; status=1; fi
}
check_layer companion 'companion'
check_layer kernels 'companion|frame|kernels'
check_layer onesample 'companion|frame|kernels|onesample'
check_layer twosample 'companion|frame|kernels|onesample|twosample'
check_layer correlation 'companion|frame|kernels|correlation'
check_layer loglinear 'companion|frame|kernels|loglinear'
check_layer regression 'companion|frame|kernels|regression'
# The frame knows the analyses only through its factory.
bad=$(git ls-files 'frame/*.h' 'frame/*.cpp' | grep -v 'frame/AnalysisFactory.cpp' | xargs -r grep -n -E '#include "[a-z]+/' |
      grep -v -E '#include "(companion|frame)/' || true)
if [ -n "$bad" ]; then echo "layering: frame includes an analysis:"; echo "$bad"; status=1; fi

# Installed headers (kqbayes.h and every header outside a detail/ folder of the installed folders)
# include no detail/ header: a host sees only what it uses, and detail/ is not installed.
installed=$(git ls-files kqbayes.h 'companion/*.h' 'frame/*.h' 'kernels/*.h' 'onesample/*.h' 'twosample/*.h' \
              'correlation/*.h' 'loglinear/*.h' 'regression/*.h' | grep -v '/detail/' || true)
bad=$(echo "$installed" | xargs -r grep -n -E '#include "[a-z/]*detail/' || true)
if [ -n "$bad" ]; then echo "installed headers include a detail/ header:"; echo "$bad"; status=1; fi
# No header lets a using-declaration or using-directive of another namespace leak at namespace scope.
bad=$(git ls-files '*.h' | grep -v '^tests/' | xargs -r grep -n -E '^using (namespace |[A-Za-z0-9_:]+::[A-Za-z0-9_]+;)' || true)
if [ -n "$bad" ]; then echo "using at namespace scope in a header:"; echo "$bad"; status=1; fi

# Boost.Math is reached only from the common library's sources; public headers never include Boost.
bad=$(git ls-files '*.h' '*.cpp' | grep -v '^companion/.*\.cpp$' | grep -v '^companion/detail/' |
      xargs -r grep -n -E 'boost::math|#include <boost/' || true)
if [ -n "$bad" ]; then echo "Boost outside the common library's sources:"; echo "$bad"; status=1; fi
# pugixml likewise: only the common library's sources (and the tests that read documents back) use it.
bad=$(git ls-files '*.h' '*.cpp' | grep -v '^companion/.*\.cpp$' | grep -v '^companion/detail/' | grep -v '^tests/' |
      xargs -r grep -n -E 'pugi::|#include <pugixml' || true)
if [ -n "$bad" ]; then echo "pugixml outside the common library's sources:"; echo "$bad"; status=1; fi
exit $status
