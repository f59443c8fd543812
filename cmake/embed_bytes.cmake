# cmake -DINPUT=file -DOUTPUT=file.cpp -DNAMESPACE=ns -DFUNCTION=name -P embed_bytes.cmake
# Writes a C++ file whose function returns the input file's bytes as a string_view.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <string_view>\nnamespace ${NAMESPACE} {\nnamespace {\nconst unsigned char kBytes[] = {\n${bytes}0};\n}  // namespace\nstd::string_view ${FUNCTION}() { return {reinterpret_cast<const char*>(kBytes), ${size}}; }\n}  // namespace ${NAMESPACE}\n")
