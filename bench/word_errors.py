"""Word error rates of texts against the development set's transcriptions, by part of the set."""

from spoken_form import spoken_words


def errors(reference, hypothesis):
    """Word-level edit distance."""
    previous = list(range(len(hypothesis) + 1))
    for i, word in enumerate(reference, 1):
        current = [i]
        for j, heard in enumerate(hypothesis, 1):
            current.append(min(previous[j] + 1, current[j - 1] + 1,
                               previous[j - 1] + (word != heard)))
        previous = current
    return previous[-1]


def error_rates(entries, texts):
    """{group: word error rate, %} of the texts."""
    counts = {}
    for (name, _, reference), text in zip(entries, texts):
        count = errors(reference.split(), spoken_words(text))
        for group in [group_of(name), "all"]:
            counts[group] = counts.get(group, 0) + count
    words = group_words(entries)
    return {group: 100 * counts[group] / words[group] for group in words}


def group_words(entries):
    """{group: words}, the whole set last."""
    words = {}
    for name, _, reference in sorted(entries, key=lambda entry: group_of(entry[0])):
        words[group_of(name)] = words.get(group_of(name), 0) + len(reference.split())
    words["all"] = sum(words.values())
    return words


def group_of(name):
    # A joined recording is named by its parts joined by "+"; a condition follows a ".".
    if "+" in name.split(".")[0]:
        return "several sentences"
    return "read sentences" if name.startswith("librivox") else "short commands"
