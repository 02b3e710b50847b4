#!/usr/bin/env python3
"""Writes every conversation of a backup's sms.db into DEST/<title>/conversation.txt, a line a
message ("2019-01-01 10:00 +01:00 +4915100000001: text"), in date order: the plain way to do the
text part of `salvora-cli messages BACKUP DEST`, the reference the benchmark times it against."""
import hashlib, sqlite3, sys

from conversation_text import write_conversations


def read_sms(backup):
    """The handles by ROWID, the chats' members and titles, and the rows of every message:
    (chat, seconds since 2001, from me, handle's ROWID, text) by chat, then date."""
    key = hashlib.sha1(b"HomeDomain-Library/SMS/sms.db").hexdigest()
    database = sqlite3.connect(f"file:{backup}/{key[:2]}/{key}?mode=ro&immutable=1", uri=True)
    handles = dict(database.execute("SELECT ROWID, id FROM handle"))
    members = {}
    for chat, handle in database.execute(
            "SELECT chat_id, handle_id FROM chat_handle_join ORDER BY chat_id, handle_id"):
        members.setdefault(chat, []).append(handles.get(handle, ""))
    titles = {}
    for chat, name, identifier in database.execute(
            "SELECT ROWID, display_name, chat_identifier FROM chat"):
        titles[chat] = name or ", ".join(members.get(chat, [])) or identifier or "Unknown"
    rows = ((chat, date // 1_000_000_000, from_me, handle, text)
            for chat, date, from_me, handle, text in database.execute(
                "SELECT j.chat_id, m.date, m.is_from_me, m.handle_id, m.text FROM message m "
                "JOIN chat_message_join j ON j.message_id = m.ROWID ORDER BY j.chat_id, m.date"))
    return handles, members, titles, rows


if __name__ == "__main__":
    handles, members, titles, rows = read_sms(sys.argv[1])
    write_conversations(sys.argv[2], rows, lambda chat: titles.get(chat, "Unknown"),
                        lambda chat, handle: handles.get(handle, "Unknown"))
