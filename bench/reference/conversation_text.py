"""What the two plain references share: a conversation.txt per conversation, a line a message
("2019-01-01 10:00 +01:00 Sender: text"), written as salvora-cli writes it."""
import os, time


def local_moment(seconds):
    """Seconds since 2001-01-01 UTC in this computer's zone, and its offset ("+01:00")."""
    moment = time.localtime(int(seconds) + 978307200)
    offset = moment.tm_gmtoff // 60
    sign = "-" if offset < 0 else "+"
    return moment, "%s%02d:%02d" % (sign, abs(offset) // 60, abs(offset) % 60)


def local_date(seconds):
    """Seconds since 2001-01-01 UTC, in this computer's zone with its offset."""
    moment, offset = local_moment(seconds)
    return time.strftime("%Y-%m-%d %H:%M ", moment) + offset


def message_line(seconds, sender, text):
    """A message's line, its line breaks shown as ⏎."""
    body = (text or "").replace("\r\n", " \u23ce ").replace("\n", " \u23ce ").replace(
        "\r", " \u23ce ")
    return f"{local_date(seconds)} {sender}: {body}\n"


def write_conversations(destination, rows, title_of, sender_of):
    """rows: (conversation, seconds since 2001, from me, who, text) sorted by conversation, then
    date; title_of(conversation) and sender_of(conversation, who) name them."""
    os.makedirs(destination, exist_ok=True)
    out, current, used = None, None, set()
    for conversation, seconds, from_me, who, text in rows:
        if conversation != current:
            if out:
                out.close()
            current = conversation
            name = title_of(conversation).replace("/", "_")
            while name in used:
                name += " (2)"
            used.add(name)
            os.makedirs(os.path.join(destination, name))
            out = open(os.path.join(destination, name, "conversation.txt"), "w", encoding="utf-8")
        out.write(message_line(seconds, "Me" if from_me else sender_of(conversation, who), text))
    if out:
        out.close()
