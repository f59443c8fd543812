"""Reading the binary PPM files that ImageMagick's `convert` writes from screenshots."""


def read_ppm(path):
    """Returns (width, height, rgb bytes) of an 8-bit P6 file."""
    data = open(path, "rb").read()
    # P6 <w> <h> <max>\n<rgb bytes>, with comments allowed between the fields
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise SystemExit("not an 8-bit PPM")
    return int(fields[1]), int(fields[2]), data[pos:]
