"""Reads formatted text back as the words that were spoken, so that texts can be compared word
by word whatever the formatting: "Mr. Dashwood paid 25%." becomes
["mister", "dashwood", "paid", "twenty", "five", "percent"]."""

import re

ONES = ["zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
        "eleven", "twelve", "thirteen", "fourteen", "fifteen", "sixteen", "seventeen",
        "eighteen", "nineteen"]
TENS = ["", "", "twenty", "thirty", "forty", "fifty", "sixty", "seventy", "eighty", "ninety"]
ORDINALS = {"one": "first", "two": "second", "three": "third", "five": "fifth",
            "eight": "eighth", "nine": "ninth", "twelve": "twelfth"}
TITLES = {"mr": "mister", "mrs": "missus", "ms": "miz", "dr": "doctor"}


def number_words(number):
    if number < 20:
        return [ONES[number]]
    if number < 100:
        return [TENS[number // 10]] + (number_words(number % 10) if number % 10 else [])
    for size, name in [(10**9, "billion"), (10**6, "million"), (1000, "thousand"),
                       (100, "hundred")]:
        if number >= size:
            rest = number % size
            return number_words(number // size) + [name] + (number_words(rest) if rest else [])
    return []


def ordinal_words(number):
    words = number_words(number)
    last = words[-1]
    if last in ORDINALS:
        words[-1] = ORDINALS[last]
    elif last.endswith("y"):
        words[-1] = last[:-1] + "ieth"
    else:
        words[-1] = last + "th"
    return words


def spoken_words(text):
    words = []
    for token in re.findall(r"[\w'%]+", text.lower().replace("%", " percent")):
        if re.fullmatch(r"\d+", token):
            words += number_words(int(token))
        elif re.fullmatch(r"\d+(st|nd|rd|th)", token):
            words += ordinal_words(int(token[:-2]))
        else:
            words.append(TITLES.get(token, token))
    return words
