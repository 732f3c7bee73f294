# Writes the string table source into a C++ file as one raw string literal.
file(READ ${INPUT} content)
file(WRITE ${OUTPUT} "namespace vondrel {\nextern const char* const kBuiltInStrings;\nconst char* const kBuiltInStrings = R\"vondrel_strings(${content})vondrel_strings\";\n}\n")
