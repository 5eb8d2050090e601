"""What a payment's share of the peak memory would be in the i686 build, which cannot run here
(the machine has no 32-bit Wine). At the peak, during the transformation, the XML engine holds
two trees: the credit transfer document the component built and the transformation's result.
Both are counted from the files of a run: the saved credit transfer document, blank text nodes
included, as it was built, and the payment file, whose indentation the serialiser adds, so its
tree has none. Each node, attribute and string is one block of Wine's heap, sized for 64 and
32 bits by libxml2's structures (a node has 13 pointers, an attribute 10) and the heap's
rounding (a block is its data plus 8 bytes, rounded up to 16 bytes and at least 48 on 64 bits;
rounded up to 8 and at least 24 on 32 bits). The measured growth per payment less the modelled
64-bit bytes is memory the model does not explain (the host's payment objects, the component's
own data, free heap space); it is taken as the same on 32 bits, so the estimate errs high."""

import xml.parsers.expat

NODE_BYTES = {64: 120, 32: 60}
ATTRIBUTE_BYTES = {64: 96, 32: 48}
NODE_POINTERS, ATTRIBUTE_POINTERS = 13, 10


def heap_block(size, bits):
    if bits == 64:
        return max(48, (size + 8 + 15) // 16 * 16)
    return max(24, (size + 8 + 7) // 8 * 8)


def tree_blocks(path, blank_text_is_node):
    """Counts of nodes and attributes, and the sizes of the strings (with their terminator) that
    a tree of the document holds."""
    counts = {"nodes": 0, "attributes": 0}
    strings = []
    pending = []

    def flush():
        if pending:
            text = "".join(pending)
            pending.clear()
            if blank_text_is_node or text.strip():
                counts["nodes"] += 1
                strings.append(len(text.encode("utf-8")) + 1)

    def start(_, attributes):
        flush()
        counts["nodes"] += 1
        for value in attributes.values():
            # An attribute's value is a text node of its own.
            counts["attributes"] += 1
            counts["nodes"] += 1
            strings.append(len(value.encode("utf-8")) + 1)

    parser = xml.parsers.expat.ParserCreate()
    parser.StartElementHandler = start
    parser.EndElementHandler = lambda _: flush()
    parser.CharacterDataHandler = pending.append
    with open(path, "rb") as stream:
        parser.ParseFile(stream)
    return counts, strings


def bytes_per_payment(source_path, result_path, payments):
    """{"64": bytes, "32": bytes, "pointers": 64-bit pointer bytes, "nodes", "attributes"}, per
    payment, of both trees."""
    model = {"64": 0, "32": 0, "pointers": 0, "nodes": 0, "attributes": 0}
    for path, blank_text_is_node in ((source_path, True), (result_path, False)):
        counts, strings = tree_blocks(path, blank_text_is_node)
        for bits in (64, 32):
            model[str(bits)] += (counts["nodes"] * heap_block(NODE_BYTES[bits], bits) +
                                 counts["attributes"] * heap_block(ATTRIBUTE_BYTES[bits], bits) +
                                 sum(heap_block(size, bits) for size in strings))
        model["pointers"] += 8 * (counts["nodes"] * NODE_POINTERS + counts["attributes"] * ATTRIBUTE_POINTERS)
        model["nodes"] += counts["nodes"]
        model["attributes"] += counts["attributes"]
    return {name: value / payments for name, value in model.items()}


def i686_estimate(model, growth_per_payment_bytes, start_mib, payments):
    """The modelled trees at their 32-bit size, the rest as measured; MiB for a run of payments."""
    per_payment = growth_per_payment_bytes - model["64"] + model["32"]
    return {"per_payment": per_payment, "total_mib": start_mib + per_payment * payments / 2**20}
