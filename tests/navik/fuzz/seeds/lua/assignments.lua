initial = {}; result = { a = -2147483648, b = 1e308 } -- comment
--[[ long
comment ]] result = { x = false }
