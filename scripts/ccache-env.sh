# Sourced by the build scripts: ccache takes paths under the project root as
# relative and leaves the working directory out of its hash, so a clone in
# another folder (a CI run, a second checkout) reuses what this one compiled.
export CCACHE_BASEDIR="$PWD"
export CCACHE_NOHASHDIR=true
