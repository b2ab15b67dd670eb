#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
#
#   tools/qt_mingw.sh PREFIX
#
# Builds Qt Base for Windows (MinGW-w64, 64-bit, shared) from Debian's own
# qt6-base source into PREFIX, for `./build.sh windows` when QT_MINGW is not
# set. About an hour on two cores. The Debian source is fetched with an apt
# configuration of its own (the machine's sources are not touched).
set -euo pipefail
prefisso=$(realpath -m "$1")
lavoro=$(mktemp -d /tmp/qt-mingw.XXXXXX)
trap 'rm -rf "$lavoro"' EXIT
cd "$lavoro"

# A private apt with a deb-src entry for bookworm, just to download the source.
mkdir -p apt/lists/partial apt/archives/partial apt/etc
echo "deb-src http://deb.debian.org/debian bookworm main" > apt/etc/sources.list
opzioni=(-o Dir::Etc::SourceList="$lavoro/apt/etc/sources.list" -o Dir::Etc::SourceParts=/dev/null
         -o Dir::State::Lists="$lavoro/apt/lists" -o Dir::Cache="$lavoro/apt")
apt-get "${opzioni[@]}" update
apt-get "${opzioni[@]}" source --download-only qt6-base=6.4.2+dfsg-10
tar xf qt6-base_6.4.2+dfsg.orig.tar.xz
sorgente=$lavoro/qtbase-everywhere-src-6.4.2

# Debian's source has no Wintab headers: the plugin's tablet support is cut
# (pens then work as a mouse), and its desktop-OpenGL question is kept to
# OpenGL builds.
(
    cd "$sorgente/src/plugins/platforms/windows"
    sed -i 's/#if QT_CONFIG(tabletevent)/#if 0 \/\/ no Wintab in this source/' \
        qwindowscontext.cpp qwindowspointerhandler.cpp qwindowspointerhandler.h
    sed -i 's/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent/qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION FALSE/' \
        CMakeLists.txt
    sed -i 's/qt_internal_extend_target(QWindowsDirect2DIntegrationPlugin CONDITION QT_FEATURE_tabletevent/qt_internal_extend_target(QWindowsDirect2DIntegrationPlugin CONDITION FALSE/' \
        ../direct2d/CMakeLists.txt
    sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' qwindowswindow.cpp
)

cat > mingw.cmake <<'FINE'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
FINE

cmake -S "$sorgente" -B build -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$lavoro/mingw.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$prefisso" \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_openssl=OFF \
    -DFEATURE_concurrent=ON -DFEATURE_printsupport=ON -DFEATURE_testlib=ON -DFEATURE_network=ON \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_doubleconversion=OFF
cmake --build build --parallel "$(nproc)"
cmake --install build
# Usable from wherever the prefix is moved, like the shared copy.
cp mingw.cmake "$prefisso/mingw-w64-x86_64.cmake"
sed -i 's|^set(__qt_initially_configured_toolchain_file .*|set(__qt_initially_configured_toolchain_file "${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64-x86_64.cmake")|' \
    "$prefisso/lib/cmake/Qt6/qt.toolchain.cmake"
