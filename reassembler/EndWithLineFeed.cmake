# Ends the built reassembler with a line feed. The splitter appends the trailer right after
# the program's last byte; the line feed marks where the trailer's first line begins, so a
# program that happens to end in a digit cannot lengthen the length line.
file(APPEND "${FILE}" "\n")
