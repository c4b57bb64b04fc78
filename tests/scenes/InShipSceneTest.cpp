// Tests of RInShipScene: to be written.
