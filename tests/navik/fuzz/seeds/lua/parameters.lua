result = {
    CropActive = true,
    CropRect = { 0.0, 0.125, 0.75, 1.0 },
    Empty = { nil },
    KeystoningMode = "Parallel",
    OutputRotation = 1,
    Orientation = 0x6,
    ["odd key\t"] = "line\n\"quoted\"\001",
    Nested = { Inner = { (1/0), (-1/0), (0/0), -0.0, 5e-324 } },
}
