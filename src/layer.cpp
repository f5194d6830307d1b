// Keeps every layer library linkable while its folder is being filled.
