# cmake -DNAME=<name> -DINPUT=<file> -DOUTPUT=<file.cpp> -P EmbedResource.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
string(MAKE_C_IDENTIFIER "${NAME}" id)
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include \"winapi/Resources.h\"\nnamespace {\nconst unsigned char data[] = {\n${bytes}0x00};\nconst winapi::ResourceRegistrar registrar_${id}(\"${NAME}\", data, ${size});\n}\n")
