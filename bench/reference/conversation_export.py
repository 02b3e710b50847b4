"""What the two full references share: the whole export as salvora-cli writes it of a backup
whose messages are plain text: a folder per conversation with conversation.txt and pages of
HTML of 2,000 messages, the JSON of every message, the search data in parts of about 4 MiB and
index.html, newest conversation first. Names from an address book are left out: the
benchmark's backups have none."""
import html, json, os, time
from urllib.parse import quote

from conversation_text import local_date, local_moment, message_line

PER_PAGE = 2000
SEARCH_PART_BYTES = 4 << 20
PAGE_STYLE = ("body{font-family:system-ui,sans-serif;max-width:50em;margin:1em auto}"
              ".m{margin:.6em 0;background:#eee}.m.me{background:#d7ebff}.s{font-weight:bold}")


def iso_date(seconds):
    """Seconds since 2001-01-01 UTC as ISO 8601 in this computer's zone, with its offset."""
    moment, offset = local_moment(seconds)
    return time.strftime("%Y-%m-%dT%H:%M:%S", moment) + offset


def compact(value):
    return json.dumps(value, ensure_ascii=False, separators=(",", ":"))


class Export:
    def __init__(self, destination, service, json_name):
        os.makedirs(destination)
        self.destination, self.service = destination, service
        self.json = open(os.path.join(destination, json_name), "w", encoding="utf-8")
        self.json.write('{"conversations":[')
        self.search, self.search_bytes, self.search_parts = [], 0, []
        self.index, self.used = [], set()

    def add(self, title, participants, messages):
        """participants: [(handle, name)]; messages: [(seconds, from me, handle, text)] in date
        order, handle naming a participant."""
        folder = title.replace("/", "_")
        while folder in self.used:
            folder += " (2)"
        self.used.add(folder)
        path = os.path.join(self.destination, folder)
        os.makedirs(path)
        names = dict(participants)
        shown = lambda from_me, handle: "Me" if from_me else names.get(handle) or handle
        with open(os.path.join(path, "conversation.txt"), "w", encoding="utf-8") as text:
            for seconds, from_me, handle, body in messages:
                text.write(message_line(seconds, shown(from_me, handle), body))
        pages = (len(messages) + PER_PAGE - 1) // PER_PAGE
        for page in range(pages):
            self.write_page(path, title, page, pages, messages, shown)
        self.write_json(title, participants, messages)
        entry = compact(
            {"folder": folder, "title": title, "messages": [
                [len(self.index), i, local_date(m[0]), shown(m[1], m[2]), m[3] or ""]
                for i, m in enumerate(messages) if m[3]]})
        self.search.append(entry)
        self.search_bytes += len(entry)
        if self.search_bytes >= SEARCH_PART_BYTES:
            self.write_search_part()
        last = messages[-1][0] if messages else None
        self.index.append((last, folder, title, ", ".join(h for h, _ in participants),
                           len(messages)))

    def write_page(self, path, title, page, pages, messages, shown):
        escaped = html.escape(title)
        nav = '<nav><a href="../index.html">All conversations</a>'
        if page > 0:
            nav += f' · <a href="page-{page}.html">Earlier</a>'
        if page + 1 < pages:
            nav += f' · <a href="page-{page + 2}.html">Later</a>'
        out = [f'<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>{escaped} – page '
               f'{page + 1}</title><style>{PAGE_STYLE}</style></head><body><h1>{escaped}</h1>'
               f'{nav} · page {page + 1}</nav><main>']
        for i in range(page * PER_PAGE, min(len(messages), (page + 1) * PER_PAGE)):
            seconds, from_me, handle, body = messages[i]
            out.append(f'<div class="m{" me" if from_me else ""}" id="m{i}"><div class="h">'
                       f'<span class="s">{html.escape(shown(from_me, handle))}</span> <time>'
                       f'{local_date(seconds)}</time></div><p class="t">'
                       f'{html.escape(body or "")}</p></div>\n')
        out.append(f"</main>{nav}</nav></body></html>\n")
        with open(os.path.join(path, f"page-{page + 1}.html"), "w", encoding="utf-8") as file:
            file.write("".join(out))

    def write_json(self, title, participants, messages):
        people = {h: {"handle": h, "name": n} for h, n in participants}
        self.json.write(("\n" if len(self.index) == 0 else ",\n") + compact(
            {"title": title, "service": self.service,
             "participants": list(people.values())})[:-1] + ',"messages":[')
        for i, (seconds, from_me, handle, body) in enumerate(messages):
            self.json.write(("\n" if i == 0 else ",\n") + compact(
                {"date": iso_date(seconds), "fromMe": bool(from_me),
                 "sender": None if from_me else people.get(handle, {"handle": handle,
                                                                     "name": None}),
                 "text": body, "attachments": [], "reactions": [], "replyTo": None,
                 "edited": False, "unsent": False, "event": None}))
        self.json.write("]}")

    def write_search_part(self):
        if not self.search:
            return
        os.makedirs(os.path.join(self.destination, "search"), exist_ok=True)
        name = f"search/{len(self.search_parts) + 1}.js"
        with open(os.path.join(self.destination, name), "w", encoding="utf-8") as part:
            part.write("window.salvoraSearch = window.salvoraSearch || [];\n")
            part.writelines(f"salvoraSearch.push({entry});\n" for entry in self.search)
        self.search_parts.append(name)
        self.search, self.search_bytes = [], 0

    def finish(self, heading):
        self.json.write("\n]}\n")
        self.json.close()
        self.write_search_part()
        self.index.sort(key=lambda entry: entry[0] if entry[0] is not None else -1 << 62,
                        reverse=True)
        with open(os.path.join(self.destination, "index.html"), "w", encoding="utf-8") as out:
            out.write(f'<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>{heading}'
                      f'</title></head><body><h1>{heading}</h1><input id="q" type="search">'
                      "<table><tbody>\n")
            for last, folder, title, participants, count in self.index:
                out.write(f'<tr><td><a href="{html.escape(quote(folder))}/page-1.html">'
                          f"{html.escape(title)}</a></td><td>{html.escape(participants)}</td>"
                          f"<td>{count}</td><td>{local_date(last) if last else ''}</td></tr>\n")
            out.write("</tbody></table>\n")
            out.writelines(f'<script src="{part}"></script>\n' for part in self.search_parts)
            out.write("</body></html>\n")


def write_export(destination, rows, title_of, participants_of, service, json_name, heading):
    """rows: (conversation, seconds since 2001, from me, handle, text) sorted by conversation,
    then date; title_of(conversation) and participants_of(conversation) ([(handle, name)])
    describe one."""
    export = Export(destination, service, json_name)
    current, messages = None, []
    for conversation, seconds, from_me, handle, text in rows:
        if conversation != current:
            if current is not None:
                export.add(title_of(current), participants_of(current), messages)
            current, messages = conversation, []
        messages.append((seconds, from_me, handle, text))
    if current is not None:
        export.add(title_of(current), participants_of(current), messages)
    export.finish(heading)
